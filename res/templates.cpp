// The dialog templates: captions, texts, positions and sizes in dialog units,
// as data. The texts are the program's own, character for character (mind the
// half-width katakana and the ideographic spaces that align the colons).
#include "templates.h"

#include <iterator>

#include "version.h"

namespace ombrix::res {
namespace {

const ControlTemplate kBoardSizeControls[] = {
    {ControlKind::Static, -1, "横ｻｲｽﾞ(8～31)", 7, 7, 48, 8, false},
    {ControlKind::Edit, 1000, "", 56, 7, 20, 14, false},
    {ControlKind::Static, -1, "縦ｻｲｽﾞ(8～45)", 7, 25, 44, 8, false},
    {ControlKind::Edit, 1001, "", 56, 23, 20, 14, false},
    {ControlKind::Button, 1, "OK", 7, 40, 27, 14, true},
    {ControlKind::Button, 2, "ｷｬﾝｾﾙ", 49, 40, 27, 14, false},
};
const ControlTemplate kAboutBoxControls[] = {
    {ControlKind::Static, -1, "簡易Ombrix　　Ver " OMBRIX_VERSION, 4, 4, 77, 8, false},
    {ControlKind::Icon, 128, "", 4, 27, 18, 20, false},
    {ControlKind::Button, 1, "OK", 43, 34, 32, 14, true},
};
const ControlTemplate kOmbrixRulesControls[] = {
    {ControlKind::Static, -1, "以下のルールに従い，マスを塗りつぶします．", 7, 7, 137, 8, false},
    {ControlKind::Static, -1, "・数字が入っているマスは黒マスにはなりません．", 13, 20, 151, 8,
     false},
    {ControlKind::Static, -1, "・数字は，その数字が含まれる，黒マスによって分断されたエリアの", 13,
     31, 200, 8, false},
    {ControlKind::Static, -1, "マスの数を意味します．", 15, 41, 75, 8, false},
    {ControlKind::Static, -1, "・各エリアには最初の数字がひとつずつ入っていなければなりません．",
     13, 53, 204, 8, false},
    {ControlKind::Static, -1, "・エリアどうしはタテ・ヨコで接してはいけません．", 13, 66, 217, 8,
     false},
    {ControlKind::Static, -1,
     "・すべての黒マスはタテヨコにひとつながりになっていなければなりません．", 13, 78, 217, 8,
     false},
    {ControlKind::Static, -1, "・黒マスが２×２マス以上のかたまりになってはいけません．", 13, 89,
     174, 8, false},
    {ControlKind::Button, 1, "OK", 198, 90, 38, 14, true},
};
const ControlTemplate kTandrelRulesControls[] = {
    {ControlKind::Static, -1, "以下のルールに従い，マスを塗りつぶします．", 7, 7, 137, 8, false},
    {ControlKind::Static, -1, "・数字が入っているマスは黒マスにはなりません．", 13, 20, 151, 8,
     false},
    {ControlKind::Static, -1, "・数字は，その数字が含まれる，黒マスによって分断されたエリアの", 13,
     31, 200, 8, false},
    {ControlKind::Static, -1, "マスの数を意味します．", 15, 41, 75, 8, false},
    {ControlKind::Static, -1, "・各エリアには最初の数字がひとつずつ入っていなければなりません．",
     13, 53, 204, 8, false},
    {ControlKind::Static, -1, "・エリアどうしはタテ・ヨコ・ナナメで接してはいけません．", 13, 66,
     174, 8, false},
    {ControlKind::Static, -1,
     "・すべての黒マスはタテヨコにひとつながりになっていなければなりません．", 13, 77, 217, 8,
     false},
    {ControlKind::Button, 1, "OK", 194, 88, 36, 12, true},
};
const ControlTemplate kEditHelpControls[] = {
    {ControlKind::Static, -1, "マウス左クリック：ヒント数をセットします．", 7, 7, 126, 8, false},
    {ControlKind::Static, -1, "マウス右クリック：セットした数をクリアします．", 7, 19, 133, 8,
     false},
    {ControlKind::Static, -1, "数字バークリック：セットする数を選択します．", 7, 31, 133, 8, false},
    {ControlKind::Static, -1, "「全クリア」　　：全ての数をクリアします．", 7, 42, 120, 8, false},
    {ControlKind::Static, -1, "「解答モードへ」：解答モードへ移行します．", 7, 53, 125, 8, false},
    {ControlKind::Button, 1, "OK", 105, 66, 35, 14, true},
};
const ControlTemplate kSolveHelpControls[] = {
    {ControlKind::Static, -1, "マウス左クリック：空マスに数字を入れます．", 7, 7, 132, 8, false},
    {ControlKind::Static, -1, "マウス右クリック：数字や黒マスがある場合はクリアします．", 7, 19,
     175, 8, false},
    {ControlKind::Static, -1, "何もない場合は，黒マスをセットします．", 64, 31, 118, 8, false},
    {ControlKind::Static, -1, "「一つ戻る」　　：一つ前の手順に戻します．", 7, 43, 126, 8, false},
    {ControlKind::Static, -1, "「最初に戻る」　：解答モードの初期状態に戻ります．", 7, 55, 152, 8,
     false},
    {ControlKind::Static, -1, "「自動解答」　　：自動解答を行います．", 7, 68, 118, 8, false},
    {ControlKind::Static, -1, "「作製モードへ」：作製モードへ移行します．", 7, 80, 129, 8, false},
    {ControlKind::Button, 1, "OK", 146, 75, 36, 14, true},
};

} // namespace

const char* const kDialogFace = "ＭＳ Ｐゴシック";
const int kDialogPoints = 9;

const DialogTemplate kBoardSize = {
    132, "ｻｲｽﾞ変更", 83, 61, kBoardSizeControls, static_cast<int>(std::size(kBoardSizeControls))};
const DialogTemplate kAboutBox = {
    100, "ﾊﾞｰｼﾞｮﾝ情報", 95, 53, kAboutBoxControls, static_cast<int>(std::size(kAboutBoxControls))};
const DialogTemplate kOmbrixRules = {
    133, "Ombrixルール説明",   243,
    111, kOmbrixRulesControls, static_cast<int>(std::size(kOmbrixRulesControls))};
const DialogTemplate kTandrelRules = {
    136, "Tandrelルール説明",   237,
    107, kTandrelRulesControls, static_cast<int>(std::size(kTandrelRulesControls))};
const DialogTemplate kEditHelp = {
    134, "操作説明(作成時)", 147,
    87,  kEditHelpControls,  static_cast<int>(std::size(kEditHelpControls))};
const DialogTemplate kSolveHelp = {
    135, "操作説明(解答時)", 189,
    97,  kSolveHelpControls, static_cast<int>(std::size(kSolveHelpControls))};

} // namespace ombrix::res
