# Writes the download for Windows users: cmake -P MakeDist.cmake with
#   ZIP       the zip to write
#   NAME      its top folder (tessavel-VERSION-windows-x64)
#   FILES     the programs and the DLL (|-separated), copied and stripped
#   STRIP     the strip tool of the toolchain
#   README    the README.txt to put beside them (already configured)
#   SAMPLES   the folder of sample documents
get_filename_component(out_dir "${ZIP}" DIRECTORY)
set(stage "${out_dir}/stage")
set(top "${stage}/${NAME}")
file(REMOVE_RECURSE "${stage}")
file(MAKE_DIRECTORY "${top}/samples")

string(REPLACE "|" ";" files "${FILES}")
foreach(file IN LISTS files)
    get_filename_component(name "${file}" NAME)
    file(COPY_FILE "${file}" "${top}/${name}")
    # Debug information is most of each file and of no use to a user.
    execute_process(COMMAND "${STRIP}" --strip-all "${top}/${name}" RESULT_VARIABLE stripped)
    if(NOT stripped EQUAL 0)
        message(FATAL_ERROR "cannot strip ${name}")
    endif()
endforeach()
file(COPY_FILE "${README}" "${top}/README.txt")
file(GLOB samples "${SAMPLES}/*.qvm" "${SAMPLES}/*.qvr")
file(COPY ${samples} DESTINATION "${top}/samples")

file(REMOVE "${ZIP}")
execute_process(COMMAND "${CMAKE_COMMAND}" -E tar cf "${ZIP}" --format=zip "${NAME}"
                WORKING_DIRECTORY "${stage}" RESULT_VARIABLE zipped)
file(REMOVE_RECURSE "${stage}")
if(NOT zipped EQUAL 0)
    message(FATAL_ERROR "cannot write ${ZIP}")
endif()
message(STATUS "Wrote ${ZIP}")
