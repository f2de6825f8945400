#pragma once
// Every user-visible message of the program, in UTF-8 as all of the
// program's text, shown through the wide calls whatever the system's code
// page: the Japanese texts, shown where the user interface is Japanese, and
// below them the English ones shown elsewhere (app/Language.h chooses). The
// Japanese are written as byte escapes so that the sources need no special
// compiler setting; the readable text stands beside each one.

namespace msg {

// Main frame
// 読み込みに失敗 (loading failed)
inline constexpr char kLoadFailed[] =
    "\xE8\xAA\xAD\xE3\x81\xBF\xE8\xBE\xBC\xE3\x81\xBF\xE3\x81\xAB\xE5\xA4\xB1\xE6\x95\x97";
// ｵﾌﾟｼｮﾝでVelmoraの場所を指定してください (set the location of Velmora in Option)
inline constexpr char kSetVelmoraLocation[] =
    "\xEF\xBD\xB5\xEF\xBE\x8C\xEF\xBE\x9F\xEF\xBD\xBC\xEF\xBD\xAE\xEF\xBE\x9D\xE3\x81\xA7Velmora\xE3\x81\xAE\xE5\xA0"
    "\xB4\xE6\x89\x80\xE3\x82\x92\xE6\x8C\x87\xE5\xAE\x9A\xE3\x81\x97\xE3\x81\xA6\xE3\x81\x8F\xE3\x81\xA0\xE3\x81\x95"
    "\xE3\x81\x84";
// Velmoraの実行ﾌｧｲﾙが存在しません (the Velmora executable does not exist)
inline constexpr char kVelmoraMissing[] =
    "Velmora\xE3\x81\xAE\xE5\xAE\x9F\xE8\xA1\x8C\xEF\xBE\x8C\xEF\xBD\xA7\xEF\xBD\xB2\xEF\xBE\x99\xE3\x81\x8C\xE5\xAD"
    "\x98\xE5\x9C\xA8\xE3\x81\x97\xE3\x81\xBE\xE3\x81\x9B\xE3\x82\x93";
// ﾘｽﾄにﾌｧｲﾙが一つもありません (not a single file in the list)
inline constexpr char kListEmpty[] =
    "\xEF\xBE\x98\xEF\xBD\xBD\xEF\xBE\x84\xE3\x81\xAB\xEF\xBE\x8C\xEF\xBD\xA7\xEF\xBD\xB2\xEF\xBE\x99\xE3\x81\x8C\xE4"
    "\xB8\x80\xE3\x81\xA4\xE3\x82\x82\xE3\x81\x82\xE3\x82\x8A\xE3\x81\xBE\xE3\x81\x9B\xE3\x82\x93";
// フォルダ (prompt of the Open folder picker)
inline constexpr char kFolderPrompt[] = "\xE3\x83\x95\xE3\x82\xA9\xE3\x83\xAB\xE3\x83\x80";

// Layer export
// QVMﾌｧｲﾙにしか対応していません (only QVM files are supported)
inline constexpr char kQvmOnly[] =
    "QVM\xEF\xBE\x8C\xEF\xBD\xA7\xEF\xBD\xB2\xEF\xBE\x99\xE3\x81\xAB\xE3\x81\x97\xE3\x81\x8B\xE5\xAF\xBE\xE5\xBF\x9C"
    "\xE3\x81\x97\xE3\x81\xA6\xE3\x81\x84\xE3\x81\xBE\xE3\x81\x9B\xE3\x82\x93";
// 出力完了 (output complete)
inline constexpr char kExportDone[] = "\xE5\x87\xBA\xE5\x8A\x9B\xE5\xAE\x8C\xE4\xBA\x86";
// 完了 (complete)
inline constexpr char kExportDoneCaption[] = "\xE5\xAE\x8C\xE4\xBA\x86";
// 出力失敗 (output failed)
inline constexpr char kExportFailed[] = "\xE5\x87\xBA\xE5\x8A\x9B\xE5\xA4\xB1\xE6\x95\x97";
// 失敗 (failed)
inline constexpr char kExportFailedCaption[] = "\xE5\xA4\xB1\xE6\x95\x97";

// Batch conversion
// 出力先 (prompt of the destination picker)
inline constexpr char kDestinationPrompt[] = "\xE5\x87\xBA\xE5\x8A\x9B\xE5\x85\x88";
// 出力ﾌｫﾙﾀﾞを指定してください (please specify the output folder)
inline constexpr char kSpecifyOutputFolder[] =
    "\xE5\x87\xBA\xE5\x8A\x9B\xEF\xBE\x8C\xEF\xBD\xAB\xEF\xBE\x99\xEF\xBE\x80\xEF\xBE\x9E\xE3\x82\x92\xE6\x8C\x87\xE5"
    "\xAE\x9A\xE3\x81\x97\xE3\x81\xA6\xE3\x81\x8F\xE3\x81\xA0\xE3\x81\x95\xE3\x81\x84";
// 指定したﾌｫﾙﾀﾞが存在しません (the specified folder does not exist)
inline constexpr char kFolderNotFound[] =
    "\xE6\x8C\x87\xE5\xAE\x9A\xE3\x81\x97\xE3\x81\x9F\xEF\xBE\x8C\xEF\xBD\xAB\xEF\xBE\x99\xEF\xBE\x80\xEF\xBE\x9E\xE3"
    "\x81\x8C\xE5\xAD\x98\xE5\x9C\xA8\xE3\x81\x97\xE3\x81\xBE\xE3\x81\x9B\xE3\x82\x93";
// 完了 ...  処理ﾌｧｲﾙ %d / %d (converted count, item count)
inline constexpr char kConversionDone[] =
    "\xE5\xAE\x8C\xE4\xBA\x86 ...  \xE5\x87\xA6\xE7\x90\x86\xEF\xBE\x8C\xEF\xBD\xA7\xEF\xBD\xB2\xEF\xBE\x99 %d / %d";
// 中止 ...  処理ﾌｧｲﾙ %d / %d (stopped: converted count, item count)
inline constexpr char kConversionStopped[] =
    "\xE4\xB8\xAD\xE6\xAD\xA2 ...  \xE5\x87\xA6\xE7\x90\x86\xEF\xBE\x8C\xEF\xBD\xA7\xEF\xBD\xB2\xEF\xBE\x99 %d / %d";
// The conversion dialog's "Back" button during a run, in the template's
// style of access key.
inline constexpr char kStopLabel[] = "&Stop";
// 変換を開始できませんでした (the conversion could not be started: no worker thread)
inline constexpr char kConversionNotStarted[] =
    "\xE5\xA4\x89\xE6\x8F\x9B\xE3\x82\x92\xE9\x96\x8B\xE5\xA7\x8B\xE3\x81\xA7\xE3\x81\x8D\xE3\x81\xBE\xE3\x81\x9B\xE3"
    "\x82\x93\xE3\x81\xA7\xE3\x81\x97\xE3\x81\x9F";
// 変換できなかったﾌｧｲﾙ (files that could not be converted: heading of the list after a run)
inline constexpr char kConversionFailures[] =
    "\xE5\xA4\x89\xE6\x8F\x9B\xE3\x81\xA7\xE3\x81\x8D\xE3\x81\xAA\xE3\x81\x8B\xE3\x81\xA3\xE3\x81\x9F\xEF\xBE\x8C\xEF"
    "\xBD\xA7\xEF\xBD\xB2\xEF\xBE\x99";
// 書き込みに失敗 (writing failed; the system's reason follows)
inline constexpr char kWriteFailed[] =
    "\xE6\x9B\xB8\xE3\x81\x8D\xE8\xBE\xBC\xE3\x81\xBF\xE3\x81\xAB\xE5\xA4\xB1\xE6\x95\x97";
// ｽｷｯﾌﾟ (既にあるﾌｧｲﾙ): %d (skipped because the output existed: count)
inline constexpr char kConversionSkipped[] =
    "\xEF\xBD\xBD\xEF\xBD\xB7\xEF\xBD\xAF\xEF\xBE\x8C\xEF\xBE\x9F "
    "(\xE6\x97\xA2\xE3\x81\xAB\xE3\x81\x82\xE3\x82\x8B\xEF\xBE\x8C\xEF\xBD\xA7\xEF\xBD\xB2\xEF\xBE\x99): %d";
// %s は %s の出力と同じﾌｧｲﾙ (NAME.png is the same file as the output of PATH:
// a later document of the list that would replace an earlier one's file)
inline constexpr char kSameOutput[] = "%s \xE3\x81\xAF %s "
                                      "\xE3\x81\xAE\xE5\x87\xBA\xE5\x8A\x9B\xE3\x81\xA8\xE5\x90\x8C\xE3\x81\x98\xEF\xBE"
                                      "\x8C\xEF\xBD\xA7\xEF\xBD\xB2\xEF\xBE\x99";
// ほか %d 件 (and %d more, under a list cut short)
inline constexpr char kMoreFailures[] = "\xE3\x81\xBB\xE3\x81\x8B %d \xE4\xBB\xB6";

// Save as
// 保存に失敗 (saving failed: heading of the box that names the file and why)
inline constexpr char kSaveFailed[] = "\xE4\xBF\x9D\xE5\xAD\x98\xE3\x81\xAB\xE5\xA4\xB1\xE6\x95\x97";

// The view mirrored and turned (the status bar)
// 左右反転 (mirrored left to right)
inline constexpr char kViewMirrored[] = "\xE5\xB7\xA6\xE5\x8F\xB3\xE5\x8F\x8D\xE8\xBB\xA2";
// %d°回転 (turned by %d degrees)
inline constexpr char kViewTurned[] = "%d\xC2\xB0\xE5\x9B\x9E\xE8\xBB\xA2";
// 、 (between the two)
inline constexpr char kViewTurnSeparator[] = "\xE3\x80\x81";

// The same in English, for every other user interface language. The format
// texts take the conversions of their Japanese ones, in the same order.
namespace en {

inline constexpr char kLoadFailed[] = "Loading failed";
inline constexpr char kSetVelmoraLocation[] = "Set the location of Velmora in Option";
inline constexpr char kVelmoraMissing[] = "The Velmora executable does not exist";
inline constexpr char kListEmpty[] = "There is no file in the list";
inline constexpr char kFolderPrompt[] = "Folder";

inline constexpr char kQvmOnly[] = "Only QVM files are supported";
inline constexpr char kExportDone[] = "Output complete";
inline constexpr char kExportDoneCaption[] = "Complete";
inline constexpr char kExportFailed[] = "Output failed";
inline constexpr char kExportFailedCaption[] = "Failed";

inline constexpr char kDestinationPrompt[] = "Destination";
inline constexpr char kSpecifyOutputFolder[] = "Please specify the output folder";
inline constexpr char kFolderNotFound[] = "The specified folder does not exist";
inline constexpr char kConversionDone[] = "Done ...  files processed %d / %d";
inline constexpr char kConversionStopped[] = "Stopped ...  files processed %d / %d";
inline constexpr char kConversionNotStarted[] = "The conversion could not be started";
inline constexpr char kConversionFailures[] = "Files that could not be converted";
inline constexpr char kWriteFailed[] = "Writing failed";
inline constexpr char kConversionSkipped[] = "Skipped (file already there): %d";
inline constexpr char kSameOutput[] = "%s is also the output of %s";
inline constexpr char kMoreFailures[] = "and %d more";

inline constexpr char kSaveFailed[] = "Saving failed";

inline constexpr char kViewMirrored[] = "Mirrored";
inline constexpr char kViewTurned[] = "%d\xC2\xB0"; // 90°
inline constexpr char kViewTurnSeparator[] = ", ";

} // namespace en

} // namespace msg
