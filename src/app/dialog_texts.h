#pragma once

// Every text the three settings dialogs show - titles, group captions, labels, hints, check boxes
// and buttons - exactly as the user sees it, UTF-8. Both windows read them from here; the items
// of the lists and the grids' row captions come from the forms (jwc_settings_form.h,
// jww_settings_form.h).

#include <array>
#include <cstdint>
#include <string_view>

namespace penmorph::app::dialog_texts {

// Every dialog.
inline constexpr std::string_view kOkButton = "ＯＫ (&Y)";
inline constexpr std::string_view kCancelButton = "キャンセル (&N)";

// "JWC/JWK設定" (TForm2).
inline constexpr std::string_view kJwcTitle = "JWC/JWK設定";
inline constexpr std::string_view kPenGroup = "線色変換 (&C)";
inline constexpr std::string_view kLineTypeGroup = "線種変換 (&T)";
inline constexpr std::string_view kChangeTextPen = "文字設定の PenNo.も変更する";
// Between a row's caption and its list.
inline constexpr std::string_view kArrow = "→";
// The blank text of a pen's colour swatch, as wide as four characters.
inline constexpr std::string_view kSwatch = "　　　　";

// A row of the pen group: its caption and the colour of its swatch (0xRRGGBB), the colour the
// pen has in jw_cad's DOS versions (drawn on black there). Swatches are framed, since Pen.2's
// white is the dialog's own colour.
struct PenRow {
  std::string_view label;
  std::uint32_t rgb;
};
inline constexpr std::array<PenRow, 6> kPenRows = {{
    {"Pen.1", 0x00FFFF},
    {"Pen.2", 0xFFFFFF},
    {"Pen.3", 0x00FF00},
    {"Pen.4", 0xFFFF00},
    {"Pen.5", 0xFF00FF},
    {"Pen.6", 0x0000FF},
}};

// The captions of lists 7 ... 23, the arrow included.
inline constexpr std::array<std::string_view, 17> kLineTypeLabels = {
    "実　線　　→", "点　線　１→", "点　線　２→", "点　線　３→", "１点鎖線１→", "１点鎖線２→",
    "２点鎖線１→", "２点鎖線２→", "補　助　線→", "ランダム１→", "ランダム２→", "ランダム３→",
    "ランダム４→", "ランダム５→", "倍長線種１→", "倍長線種２→", "倍長線種３→",
};

// "JWW/JWS設定" (TForm3).
inline constexpr std::string_view kJwwTitle = "JWW/JWS設定";
inline constexpr std::string_view kColourGridLabel = "線色設定";
inline constexpr std::string_view kLineTypeGridLabel = "線種設定";
// The caption over both grids' row captions.
inline constexpr std::string_view kGridCorner = "変換前";
inline constexpr std::string_view kColourGridHeading = "変換後線色番号";
inline constexpr std::string_view kLineTypeGridHeading = "変換後線種番号";
// The range fill under each grid: "◆範囲選択した部分を [box] にする [設定]".
inline constexpr std::string_view kFillBefore = "◆範囲選択した部分を";
inline constexpr std::string_view kFillAfter = "にする";
inline constexpr std::string_view kFillButton = "設定";
inline constexpr std::string_view kSelectionHint =
    "※範囲選択は、[Shift]＋[↑][↓]で行う事が出来ます。[Shift]＋マウス選択は出来ませんので注意。";
inline constexpr std::string_view kRangeHint =
    "※線色番号は、０～９　で、線種番号は、０～９、１１～１９、で入力して下さい。";
inline constexpr std::string_view kZeroHint = "※０指定は、無変換を意味します。";
inline constexpr std::array<std::string_view, 7> kJwwOptions = {
    "文字設定の線色番号も変更する",
    "寸法設定の線色番号も変更する",
    "線色指定のソリッド図形の線色番号を変更する",
    "寸法図形の線色番号を変更する",
    "ブロック図形の線色番号を変更する",
    "寸法図形の線種番号を変更する",
    "ブロック図形の線種番号を変更する",
};

// "レイヤ設定" (TForm4).
inline constexpr std::string_view kLayerTitle = "レイヤ設定";
inline constexpr std::string_view kLayerGridLabel = "レイヤ (&L)";
inline constexpr std::string_view kGroupGridLabel = "レイヤグループ (&G)";
// The columns beside the captions: the highlighted drawing's names, then what the table sets.
inline constexpr std::string_view kDrawingNameHeading = "図面での名前";
inline constexpr std::string_view kTargetHeading = "移動先";
inline constexpr std::string_view kNewNameHeading = "新しい名前";
inline constexpr std::string_view kLayerHint =
    "※移動先は　グループ-レイヤ　を16進で（例 2-5、0-A）入力して下さい。空欄は移動しません。";
inline constexpr std::string_view kLayerNameHint =
    "※新しい名前が空欄のレイヤ・グループは図面の名前のままです。";
inline constexpr std::string_view kLayerScaleHint =
    "※縮尺の異なるグループへ図形を移す図面は変換されません。";
// The rules by name, tried from the top; a layer's own 移動先 comes first.
inline constexpr std::string_view kNameRulesLabel = "名前で指定 (&N)";
inline constexpr std::string_view kPatternHeading = "レイヤ名";
inline constexpr std::string_view kWildcardHint = "* は何文字でも、? は 1 文字に当たります。";
// The layers of the drawing the preview shows that each rule takes.
inline constexpr std::string_view kTakenHeading = "該当レイヤ";
inline constexpr std::string_view kAddRuleButton = "追加";
inline constexpr std::string_view kRemoveRuleButton = "削除";
inline constexpr std::string_view kRuleUpButton = "上へ";
inline constexpr std::string_view kRuleDownButton = "下へ";
inline constexpr std::string_view kNameRulesHint =
    "※名前で指定は上から順に、移動先が空欄のレイヤに当てはめます（前後の空白・全角半角・大小文字は"
    "区別しません）。";
inline constexpr std::string_view kNoLayerTaken = "（なし）";

// The values a grid takes, in the message that refuses a cell.
inline constexpr std::string_view kColourRange = "0〜9";
inline constexpr std::string_view kLineTypeRange = "0〜9、11〜19";
inline constexpr std::string_view kLayerTargetForm = "0-0〜F-F";

// The report of "集計".
inline constexpr std::string_view kSurveyTitle = "集計";
inline constexpr std::string_view kSurveyColours = "線色 (&1)";
inline constexpr std::string_view kSurveyLineTypes = "線種 (&2)";
inline constexpr std::string_view kSurveyLayerNames = "レイヤ名 (&3)";
inline constexpr std::string_view kSurveyUnreadable = "読めなかったファイル (&4)";
inline constexpr std::string_view kFamilyHeading = "種類";
inline constexpr std::string_view kColourHeading = "線色";
inline constexpr std::string_view kLineTypeHeading = "線種";
inline constexpr std::string_view kEntitiesHeading = "図形数";
inline constexpr std::string_view kFilesHeading = "ファイル数";
inline constexpr std::string_view kAddressesHeading = "レイヤ";
inline constexpr std::string_view kFileHeading = "ファイル";
inline constexpr std::string_view kReasonHeading = "理由";
// Over the bars: each row's entities beside the largest of its table.
inline constexpr std::string_view kShareHeading = "割合";
inline constexpr std::string_view kNamesToRulesButton = "レイヤ名を「名前で指定」へ (&N)";
inline constexpr std::string_view kSaveCsvButton = "CSV で保存(&S)...";
inline constexpr std::string_view kCloseButton = "閉じる";
inline constexpr std::string_view kSaveSurveyTitle = "集計結果の保存";
inline constexpr std::string_view kCsvFilter = "CSV ファイル(*.csv)";
inline constexpr std::string_view kNoNamesFound =
    "レイヤ名の付いたレイヤのある図面はありませんでした。";

}  // namespace penmorph::app::dialog_texts
