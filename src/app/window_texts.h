#pragma once

// The texts the window shows in its status bar and message boxes, exactly as the user sees them.

#include <string_view>

namespace penmorph::app::texts {

// The checks before a run, the question and the end of a run.
inline constexpr std::string_view kNoTree = "検索フォルダを指定して下さい。";
inline constexpr std::string_view kNoList = "ファイル一覧が表示されていません。";
inline constexpr std::string_view kNoDestination = "保存先フォルダを指定して下さい。";
inline constexpr std::string_view kDestinationMissing =
    "指定された保存先フォルダが存在しません。再指定して下さい。";
inline constexpr std::string_view kSameFolder =
    "保存先フォルダとファイルのフォルダが同じになっています。";
inline constexpr std::string_view kConfirm = "変換を開始します。よろしいですか？";
inline constexpr std::string_view kCancelled = "変換作業をキャンセルしました。";
inline constexpr std::string_view kDone = "変換作業を完了しました。";
// A whole tree's run: the destination may not lie inside the tree it is filled from.
inline constexpr std::string_view kDestinationInsideTree =
    "保存先フォルダが変換するフォルダの中にあります。別のフォルダを指定して下さい。";
// A run stopped with "中止": the files in hand are finished, the rest not touched.
inline constexpr std::string_view kStopped = "変換作業を中止しました。";
// A folder of a tree whose list could not be read: the report names it with this reason.
inline constexpr std::string_view kFolderUnreadable =
    "フォルダの中を読めないため、その中のファイルは変換していません";

// The controls of a run beside the file list.
inline constexpr std::string_view kSubfoldersCaption = "サブフォルダも含める";
inline constexpr std::string_view kStopCaption = "中止";

// The folder tree and the file list.
inline constexpr std::string_view kSearching = "フォルダ検索中です。（ESC:中断）";
inline constexpr std::string_view kDriveNotReady =
    "検索フォルダのディスクドライブの準備が出来ていません。";
inline constexpr std::string_view kSearchInterrupted = "フォルダ検索を中断しました。";
inline constexpr std::string_view kListInterrupted = "検索を中断しました。";
inline constexpr std::string_view kNoFolderListed =
    "図面の格納されているフォルダを指定して下さい。";

inline constexpr std::string_view kExitQuestion = "終了します。よろしいですか？";

}  // namespace penmorph::app::texts
