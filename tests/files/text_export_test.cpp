// The text export, checked against a real UTF-8 to code page 932 conversion
// (glibc's iconv) rather than against byte strings typed a second time.
#include "files_test_util.h"
#include "text_export.h"

#include <gtest/gtest.h>

#include <iconv.h>

namespace ombrix::testing {
namespace {

Bytes ToCp932(const std::string& utf8) {
    iconv_t cd = iconv_open("CP932", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("no CP932 converter");
    std::string in = utf8;
    Bytes out(in.size() * 2 + 16);
    char* inPtr = in.data();
    std::size_t inLeft = in.size();
    char* outPtr = reinterpret_cast<char*>(out.data());
    std::size_t outLeft = out.size();
    const std::size_t done = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (done == static_cast<std::size_t>(-1) || inLeft != 0)
        throw std::runtime_error("cannot convert '" + utf8 + "' to CP932");
    out.resize(out.size() - outLeft);
    return out;
}

TEST(TextExport, ABoardIsDrawnCellByCellUnderItsTitle) {
    // Each row tries one kind of value; 48 and 148 are outside the numbers
    // shown and come out blank like a white dot. Taller than wide, so the
    // shape follows the size.
    Board board =
        *MakeBoard(RuleSetOmbrix, {"7 12 a12 47 a47 1 . .", "o 48 a48 . . . . .", "# L G . . . . .",
                                   ". . . . . . . .", ". . . . . . . .", ". . . . . . . .",
                                   ". . . . . . . .", ". . . . . . . .", ". . . . . . . 2"});
    const std::string s = "\u3000│";
    std::string expected = "\r\n\r\n┌─┬─┬─┬─┬─┬─┬─┬─┐\r\n";
    expected += "│ 7｜12｜12｜47｜47｜ 1｜" + s + s + "\r\n";
    expected += "├─┼─┼─┼─┼─┼─┼─┼─┤\r\n";
    expected += "│" + s + s + s + s + s + s + s + s + "\r\n";
    expected += "├─┼─┼─┼─┼─┼─┼─┼─┤\r\n";
    expected += "│■│■│■│" + s + s + s + s + s + "\r\n";
    for (int y = 4; y <= 9; ++y) {
        expected += "├─┼─┼─┼─┼─┼─┼─┼─┤\r\n│";
        for (int x = 1; x <= 7; ++x)
            expected += s;
        expected += y == 9 ? " 2｜\r\n" : s + "\r\n";
    }
    expected += "└─┴─┴─┴─┴─┴─┴─┴─┘\r\n\r\n";
    EXPECT_EQ(ExportText(board), ToCp932("簡易Ombrix" + expected));
    // Any rule set but Ombrix is titled Tandrel.
    for (int rules : {int(RuleSetTandrel), 5}) {
        board.ruleSet = static_cast<std::uint8_t>(rules);
        EXPECT_EQ(ExportText(board), ToCp932("簡易Tandrel" + expected)) << rules;
    }
}

} // namespace
} // namespace ombrix::testing
