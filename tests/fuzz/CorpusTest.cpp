// Replays tests/corpus: every input that once broke a reader must now be
// handled soundly, with the outcome its note states.

#include "tests/support/DocProbe.h"
#include "tests/support/DocWriter.h"
#include "tests/support/ExportProbe.h"
#include "tests/support/MixCheck.h"
#include "tests/support/SettingsProbe.h"
#include "tests/support/SourceTree.h"
#include "tests/support/StrScript.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Note {
    std::string file;
    std::string result; // "loads", "fails", "-" for scripts, "?" before a fix
    std::string broke;
};

fs::path CorpusFolder() {
    return fs::path(SourcePath("tests/corpus"));
}

std::vector<Note> ReadNotes() {
    std::vector<Note> notes;
    std::ifstream in(CorpusFolder() / "NOTES");
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        Note note;
        fields >> note.file >> note.result;
        std::getline(fields >> std::ws, note.broke);
        notes.push_back(note);
    }
    return notes;
}

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

bool IsDocument(const std::string& file) {
    return EndsWith(file, ".qvm") || EndsWith(file, ".qvr");
}

// Inputs of the layer-export target: documents that also go through the export.
bool IsExportInput(const std::string& file) {
    return file.compare(0, 7, "export-") == 0 && EndsWith(file, ".qvm");
}

TEST(Corpus, EveryKeptInputHasOneCompleteNote) {
    ASSERT_TRUE(fs::is_directory(CorpusFolder())) << CorpusFolder().string();
    std::set<std::string> noted;
    for (const Note& note : ReadNotes()) {
        EXPECT_TRUE(noted.insert(note.file).second) << note.file << " has two notes";
        EXPECT_TRUE(fs::is_regular_file(CorpusFolder() / note.file)) << note.file << " is noted but missing";
        EXPECT_NE(note.result, "?") << note.file << " is a finding not yet fixed: " << note.broke;
        EXPECT_FALSE(note.broke.empty()) << note.file << " does not say what it broke";
        if (IsExportInput(note.file)) {
            EXPECT_TRUE(note.result == "exported" || note.result == "fails") << note.file << ": " << note.result;
        } else if (IsDocument(note.file)) {
            EXPECT_TRUE(note.result == "loads" || note.result == "fails") << note.file << ": " << note.result;
        } else {
            EXPECT_EQ(note.result, "-") << note.file;
        }
    }
    for (const auto& entry : fs::directory_iterator(CorpusFolder())) {
        const std::string name = entry.path().filename().string();
        if (name != "NOTES" && name != "README.md") {
            EXPECT_EQ(noted.count(name), 1u) << name << " has no note in NOTES";
        }
    }
}

TEST(Corpus, EveryKeptInputReplaysAsNoted) {
    for (const Note& note : ReadNotes()) {
        SCOPED_TRACE(note.file + " (" + note.broke + ")");
        const fs::path path = CorpusFolder() / note.file;
        if (IsExportInput(note.file)) {
            const docwriter::Bytes bytes = docwriter::ReadFile(path.string());
            TempDir root;
            for (bool intoFolder : {false, true}) {
                const ExportProbe probe = ProbeLayerExport(root.Path(), bytes.data(), bytes.size(), intoFolder);
                EXPECT_EQ(probe.problem, "") << (intoFolder ? "into a folder" : "beside the document");
                EXPECT_EQ(probe.done, note.result == "exported");
            }
            EXPECT_EQ(ProbeDocument(path.string().c_str()).problem, "");
        } else if (IsDocument(note.file)) {
            const DocProbe probe = ProbeDocument(path.string().c_str());
            EXPECT_EQ(probe.problem, "");
            EXPECT_EQ(probe.loaded, note.result == "loads");
        } else if (EndsWith(note.file, ".ini")) {
            TempDir scratch;
            EXPECT_EQ(ProbeSettingsFile(path.string(), scratch.Path()), "");
        } else if (EndsWith(note.file, ".bin")) {
            const docwriter::Bytes input = docwriter::ReadFile(path.string());
            EXPECT_EQ(CheckMixRuns(input.data(), input.size()), "");
        } else {
            const docwriter::Bytes script = docwriter::ReadFile(path.string());
            EXPECT_EQ(RunStrScript(script.data(), script.size()), "");
        }
    }
}

} // namespace
