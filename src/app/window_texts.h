#pragma once

// Every text the main window shows - captions, menus, column heads, labels, picker titles,
// status texts and messages - exactly as the user sees it. Both windows read them from here.

#include <array>
#include <string_view>

namespace penmorph::app::texts {

inline constexpr std::string_view kWindowTitle = "Penmorph Ver.1.03";
inline constexpr std::string_view kApplicationName = "Penmorph";

// The controls.
inline constexpr std::string_view kFileTypeLabel = "ファイルの種類";
inline constexpr std::string_view kDestinationLabel = "保存先フォルダ";
inline constexpr std::string_view kJwwSettingsButton = "JWW/JWS設定";
inline constexpr std::string_view kJwcSettingsButton = "JWC/JWK設定";
inline constexpr std::string_view kLayerSettingsButton = "レイヤ設定";
inline constexpr std::string_view kBrowseButton = "参照";
inline constexpr std::string_view kConvertButton = "変換";
inline constexpr std::string_view kSubfoldersCaption = "サブフォルダも含める";
inline constexpr std::string_view kStopCaption = "中止";
// Above the list while "サブフォルダも含める" is on: the list's selection does not apply.
inline constexpr std::string_view kWholeTreeBanner =
    "サブフォルダを含めて、このフォルダ以下のすべてのファイルを変換します";
// The first file type (FileTypes in file_rows.h): every file. The others are wildcards.
inline constexpr std::string_view kAllFilesType = "全てのファイル(*.*)";
inline constexpr std::array<std::string_view, 6> kColumnHeads = {
    "ファイル名", "Bytes", "種類", "図面メモ", "更新日時", "属性",
};
// A typical row, for the columns' widths at the first start.
inline constexpr std::array<std::string_view, 6> kTypicalRow = {
    "jw_cad__ritsumen_A-shita.jww", "    1234567",         ".JWW",
    "事務所基準階平面図 1/100",     "2026/01/23 12:34:56", "A R ",
};

// The pickers' titles and filters.
inline constexpr std::string_view kSearchFolderTitle = "検索フォルダの指定";
inline constexpr std::string_view kDestinationTitle = "保存先フォルダの指定";
inline constexpr std::string_view kSaveSettingsTitle = "現在の設定を保存";
inline constexpr std::string_view kOpenSettingsTitle = "保存した設定ファイルを開く";
inline constexpr std::string_view kSaveReportTitle = "変換結果の保存";
inline constexpr std::string_view kSaveCheckReportTitle = "基準チェック結果の保存";
inline constexpr std::string_view kSettingsFilter = "設定ファイル(*.set)";
inline constexpr std::string_view kReportFilter = "テキストファイル(*.txt)";

// The report window's buttons.
inline constexpr std::string_view kCopyButton = "コピー(&C)";
inline constexpr std::string_view kSaveButton = "保存(&S)...";

// "バージョン情報": the version follows the program's name.
inline constexpr std::string_view kAboutDescription =
    "jw_cad の図面・図形ファイル (JWW/JWS/JWC/JWK) のペン番号（線色）・線種・レイヤを、"
    "変換表に従って一括で変換し、変換先フォルダに書き出します。元のファイルは変更しません。"
    "基準チェックで、図面が変換表の基準に合うかを調べることもできます。";
inline constexpr std::string_view kAboutLicence = "MIT License, the Penmorph developers";
inline constexpr std::string_view kManualMissing =
    "使い方の説明書が見つかりません。プログラムを入れ直して下さい。";

// The checks before a run, the question and the end of a run.
inline constexpr std::string_view kNoTree = "検索フォルダを指定して下さい。";
inline constexpr std::string_view kNoList = "ファイル一覧が表示されていません。";
inline constexpr std::string_view kNothingSelected = "変換するファイルが選択されていません。";
inline constexpr std::string_view kNoDestination = "保存先フォルダを指定して下さい。";
inline constexpr std::string_view kDestinationMissing =
    "指定された保存先フォルダが存在しません。再指定して下さい。";
inline constexpr std::string_view kSameFolder =
    "保存先フォルダとファイルのフォルダが同じになっています。";
inline constexpr std::string_view kCancelled = "変換作業をキャンセルしました。";
inline constexpr std::string_view kDone = "変換作業を完了しました。";
// A whole tree's run: the destination may not lie inside the tree it is filled from.
inline constexpr std::string_view kDestinationInsideTree =
    "保存先フォルダが変換するフォルダの中にあります。別のフォルダを指定して下さい。";
// From "中止" until the files in hand are finished.
inline constexpr std::string_view kStopping =
    "中止しています。作業中のファイルを終えたところで止まります。";
// A run stopped with "中止": the files in hand are finished, the rest not touched.
inline constexpr std::string_view kStopped = "変換作業を中止しました。";
// A folder of a tree whose list could not be read: the report names it with this reason.
inline constexpr std::string_view kNameRulesUnused =
    "シンボル図形はレイヤ名を持たないため、名前で指定したレイヤ設定は働きません";
inline constexpr std::string_view kFolderUnreadable =
    "フォルダの中を読めないため、その中のファイルは変換していません";
inline constexpr std::string_view kCounting = "数えています…";

// The folder tree and the file list.
inline constexpr std::string_view kSearching = "フォルダ検索中です。（ESC:中断）";
inline constexpr std::string_view kDriveNotReady =
    "検索フォルダのディスクドライブの準備が出来ていません。";
inline constexpr std::string_view kSearchInterrupted = "フォルダ検索を中断しました。";
inline constexpr std::string_view kListInterrupted = "検索を中断しました。";
inline constexpr std::string_view kNoFolderListed =
    "図面の格納されているフォルダを指定して下さい。";

// A solid's colour 10 in code listings: jw_cad's name for a colour of the record's own.
inline constexpr std::string_view kOwnColorLabel = "任意色";
inline constexpr std::string_view kExitQuestion = "終了します。よろしいですか？";
inline constexpr std::string_view kNoCloseWhileRunning =
    "変換作業・基準チェックの途中は終了できません。「中止」で止めてから終了して下さい。";

}  // namespace penmorph::app::texts
