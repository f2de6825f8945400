#pragma once
// Every user-visible Japanese text of the program, as the exact CP932 bytes the
// ANSI calls show. They are written as byte escapes so that the UTF-8 sources
// need no special compiler setting; the readable text stands beside each one.
// (Half-width katakana such as ﾌｧｲﾙ are single bytes 0xA1-0xDF in CP932.)

namespace msg {

// Main frame
// 読み込みに失敗 (loading failed)
inline constexpr char kLoadFailed[] = "\x93\xC7\x82\xDD\x8D\x9E\x82\xDD\x82\xC9\x8E\xB8\x94s";
// ｵﾌﾟｼｮﾝでVelmoraの場所を指定してください (set the location of Velmora in Option)
inline constexpr char kSetVelmoraLocation[] = "\xB5\xCC\xDF\xBC\xAE\xDD\x82\xC5Velmora\x82\xCC\x8F\xEA\x8F\x8A\x82\xF0"
                                              "\x8Ew\x92\xE8\x82\xB5\x82\xC4\x82\xAD\x82\xBE\x82\xB3\x82\xA2";
// Velmoraの実行ﾌｧｲﾙが存在しません (the Velmora executable does not exist)
inline constexpr char kVelmoraMissing[] =
    "Velmora\x82\xCC\x8E\xC0\x8Ds\xCC\xA7\xB2\xD9\x82\xAA\x91\xB6\x8D\xDD\x82\xB5\x82\xDC\x82\xB9\x82\xF1";
// ﾘｽﾄにﾌｧｲﾙが一つもありません (not a single file in the list)
inline constexpr char kListEmpty[] =
    "\xD8\xBD\xC4\x82\xC9\xCC\xA7\xB2\xD9\x82\xAA\x88\xEA\x82\xC2\x82\xE0\x82\xA0\x82\xE8\x82\xDC\x82\xB9\x82\xF1";
// フォルダ (prompt of the Open folder picker)
inline constexpr char kFolderPrompt[] = "\x83t\x83H\x83\x8B\x83_";

// Layer export
// QVMﾌｧｲﾙにしか対応していません (only QVM files are supported)
inline constexpr char kQvmOnly[] =
    "QVM\xCC\xA7\xB2\xD9\x82\xC9\x82\xB5\x82\xA9\x91\xCE\x89\x9E\x82\xB5\x82\xC4\x82\xA2\x82\xDC\x82\xB9\x82\xF1";
// 出力完了 (output complete)
inline constexpr char kExportDone[] = "\x8Fo\x97\xCD\x8A\xAE\x97\xB9";
// 完了 (complete)
inline constexpr char kExportDoneCaption[] = "\x8A\xAE\x97\xB9";
// 出力失敗 (output failed)
inline constexpr char kExportFailed[] = "\x8Fo\x97\xCD\x8E\xB8\x94s";
// 失敗 (failed)
inline constexpr char kExportFailedCaption[] = "\x8E\xB8\x94s";

// Batch conversion
// 出力先 (prompt of the destination picker)
inline constexpr char kDestinationPrompt[] = "\x8Fo\x97\xCD\x90\xE6";
// 出力ﾌｫﾙﾀﾞを指定してください (please specify the output folder)
inline constexpr char kSpecifyOutputFolder[] =
    "\x8Fo\x97\xCD\xCC\xAB\xD9\xC0\xDE\x82\xF0\x8Ew\x92\xE8\x82\xB5\x82\xC4\x82\xAD\x82\xBE\x82\xB3\x82\xA2";
// 指定したﾌｫﾙﾀﾞが存在しません (the specified folder does not exist)
inline constexpr char kFolderNotFound[] =
    "\x8Ew\x92\xE8\x82\xB5\x82\xBD\xCC\xAB\xD9\xC0\xDE\x82\xAA\x91\xB6\x8D\xDD\x82\xB5\x82\xDC\x82\xB9\x82\xF1";
// 完了 ...  処理ﾌｧｲﾙ %d / %d (converted count, item count)
inline constexpr char kConversionDone[] = "\x8A\xAE\x97\xB9 ...  \x8F\x88\x97\x9D\xCC\xA7\xB2\xD9 %d / %d";
// 中止 ...  処理ﾌｧｲﾙ %d / %d (stopped: converted count, item count)
inline constexpr char kConversionStopped[] = "\x92\x86\x8E~ ...  \x8F\x88\x97\x9D\xCC\xA7\xB2\xD9 %d / %d";
// The conversion dialog's "Back" button during a run, in the template's
// style of access key.
inline constexpr char kStopLabel[] = "&Stop";
// 変換を開始できませんでした (the conversion could not be started: no worker thread)
inline constexpr char kConversionNotStarted[] =
    "\x95\xCF\x8A\xB7\x82\xF0\x8AJ\x8En\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1\x82\xC5\x82\xB5\x82\xBD";
// 変換できなかったﾌｧｲﾙ (files that could not be converted: heading of the list after a run)
inline constexpr char kConversionFailures[] =
    "\x95\xCF\x8A\xB7\x82\xC5\x82\xAB\x82\xC8\x82\xA9\x82\xC1\x82\xBD\xCC\xA7\xB2\xD9";
// 書き込みに失敗 (writing failed; the system's reason follows)
inline constexpr char kWriteFailed[] = "\x8F\x91\x82\xAB\x8D\x9E\x82\xDD\x82\xC9\x8E\xB8\x94\x73";
// ｽｷｯﾌﾟ (既にあるﾌｧｲﾙ): %d (skipped because the output existed: count)
inline constexpr char kConversionSkipped[] =
    "\xBD\xB7\xAF\xCC\xDF (\x8A\xF9\x82\xC9\x82\xA0\x82\xE9\xCC\xA7\xB2\xD9): %d";
// %s は %s の出力と同じﾌｧｲﾙ (NAME.png is the same file as the output of PATH:
// a later document of the list that would replace an earlier one's file)
inline constexpr char kSameOutput[] = "%s \x82\xCD %s \x82\xCC\x8Fo\x97\xCD\x82\xC6\x93\xAF\x82\xB6\xCC\xA7\xB2\xD9";
// ほか %d 件 (and %d more, under a list cut short)
inline constexpr char kMoreFailures[] = "\x82\xD9\x82\xA9 %d \x8C\x8F";

// Fonts
// ＭＳ Ｐゴシック (the Japanese UI font of the list and the dialogs)
inline constexpr char kGothicFace[] = "\x82l\x82r \x82o\x83S\x83V\x83"
                                      "b\x83N";

} // namespace msg
