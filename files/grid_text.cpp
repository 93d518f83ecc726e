#include "grid_text.h"

#include <cctype>
#include <charconv>
#include <vector>

namespace ombrix {

std::string GridTextError::describe() const {
    std::string out;
    if (line > 0) {
        out += "line " + std::to_string(line);
        if (column > 0) out += ", column " + std::to_string(column);
        out += ": ";
    }
    return out + message;
}

std::string QuoteForMessage(std::string_view bytes) {
    constexpr std::size_t kShown = 40;
    std::string out = "'";
    for (std::size_t i = 0; i < bytes.size() && i < kShown; ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c == '\\') {
            out += "\\\\";
        } else if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            static const char kHex[] = "0123456789abcdef";
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    out += bytes.size() > kShown ? "'..." : "'";
    return out;
}

namespace {

struct Token {
    std::string_view text;
    int column;
};

std::vector<Token> splitTokens(std::string_view line) {
    std::vector<Token> tokens;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && std::isspace(static_cast<unsigned char>(line[i])))
            ++i;
        if (i >= line.size()) break;
        const std::size_t start = i;
        while (i < line.size() && !std::isspace(static_cast<unsigned char>(line[i])))
            ++i;
        tokens.push_back({line.substr(start, i - start), static_cast<int>(start) + 1});
    }
    return tokens;
}

bool parseInt(std::string_view s, int& value) {
    if (s.empty() || s.size() > 6) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    return ec == std::errc() && ptr == s.data() + s.size();
}

bool isBlankLine(std::string_view line) {
    for (char c : line)
        if (!std::isspace(static_cast<unsigned char>(c))) return false;
    return true;
}

// The lines of a text, accepting \n and \r\n.
std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        if (end == text.size()) break;
        pos = end + 1;
    }
    return lines;
}

// A cell's token: '.', '#' or a clue 1..48.
bool cellValue(std::string_view t, int& value) {
    if (t == ".") {
        value = Undecided;
        return true;
    }
    if (t == "#") {
        value = GivenBlack;
        return true;
    }
    return parseInt(t, value) && value >= 1 && value <= 48;
}

// The header line, after blank lines and comments from line i on; i is left
// on it.
bool parseHeader(const std::vector<std::string_view>& lines, std::size_t& i, int& ruleSet, int& w,
                 int& h, GridTextError& error) {
    auto fail = [&](int line, int column, std::string message) {
        error = {line, column, std::move(message)};
        return false;
    };
    for (; i < lines.size(); ++i) {
        if (isBlankLine(lines[i])) continue;
        std::size_t first = lines[i].find_first_not_of(" \t");
        if (lines[i][first] == '#') continue;
        break;
    }
    if (i >= lines.size()) return fail(0, 0, "no header line 'ombrix|tandrel WIDTH HEIGHT'");
    const int headerLine = static_cast<int>(i) + 1;
    const std::vector<Token> header = splitTokens(lines[i]);
    if (header.size() != 3)
        return fail(headerLine, 1, "header must be 'ombrix|tandrel WIDTH HEIGHT'");
    if (header[0].text == "ombrix")
        ruleSet = RuleSetOmbrix;
    else if (header[0].text == "tandrel")
        ruleSet = RuleSetTandrel;
    else
        return fail(headerLine, header[0].column,
                    "unknown rule set " + QuoteForMessage(header[0].text) +
                        " (expected ombrix or tandrel)");
    if (!parseInt(header[1].text, w) || w < kMinWidth || w > kMaxWidth)
        return fail(headerLine, header[1].column, "width must be a whole number from 8 to 31");
    if (!parseInt(header[2].text, h) || h < kMinHeight || h > kMaxHeight)
        return fail(headerLine, header[2].column, "height must be a whole number from 8 to 45");
    return true;
}

} // namespace

bool ParseGridText(std::string_view text, Board& board, GridTextError& error) {
    const std::vector<std::string_view> lines = splitLines(text);
    auto fail = [&](int line, int column, std::string message) {
        error = {line, column, std::move(message)};
        return false;
    };

    std::size_t i = 0;
    int ruleSet = 0, w = 0, h = 0;
    if (!parseHeader(lines, i, ruleSet, w, h, error)) return false;
    ++i;

    std::uint8_t rows[kMaxHeight + 1][kMaxWidth + 1] = {};
    int row = 0;
    for (; i < lines.size(); ++i) {
        if (isBlankLine(lines[i])) continue;
        const int lineNo = static_cast<int>(i) + 1;
        if (row == h) return fail(lineNo, 1, "extra row after the " + std::to_string(h) + " rows");
        const std::vector<Token> tokens = splitTokens(lines[i]);
        if (static_cast<int>(tokens.size()) != w)
            return fail(lineNo, 1,
                        "row " + std::to_string(row + 1) + " has " + std::to_string(tokens.size()) +
                            " cells, expected " + std::to_string(w));
        for (int x = 0; x < w; ++x) {
            const Token& t = tokens[static_cast<std::size_t>(x)];
            int value;
            if (!cellValue(t.text, value))
                return fail(lineNo, t.column,
                            "bad cell " + QuoteForMessage(t.text) +
                                " (expected '.', '#' or a clue 1..48)");
            rows[row + 1][x + 1] = static_cast<std::uint8_t>(value);
        }
        ++row;
    }
    // The last line is the one after the final newline when the text ends
    // with one; the message points at the last line that holds text.
    int lastLine = static_cast<int>(lines.size());
    while (lastLine > 1 && isBlankLine(lines[static_cast<std::size_t>(lastLine) - 1]))
        --lastLine;
    if (row < h)
        return fail(lastLine, 0,
                    "expected " + std::to_string(h) + " rows, found " + std::to_string(row));

    board.width = static_cast<std::uint8_t>(w);
    board.height = static_cast<std::uint8_t>(h);
    board.ruleSet = static_cast<std::uint8_t>(ruleSet);
    board.status = StatusNone;
    for (int x = 0; x < kGridWidth; ++x) {
        for (int y = 0; y < kGridHeight; ++y) {
            Cell& c = board.cells[x][y];
            c.state = board.isPlayable(x, y) ? rows[y][x] : static_cast<std::uint8_t>(Border);
            c.areaId = 0;
            c.mark = 0;
        }
    }
    return true;
}

std::string FormatGridText(const Board& board) {
    std::string out = board.ruleSet == RuleSetOmbrix ? "ombrix " : "tandrel ";
    out += std::to_string(board.width) + " " + std::to_string(board.height) + "\n";
    for (int y = 1; y <= board.height; ++y) {
        for (int x = 1; x <= board.width; ++x) {
            const int s = board.state(x, y);
            if (x > 1) out += ' ';
            if (s >= 1 && s <= 48)
                out += std::to_string(s);
            else if (s == GivenBlack)
                out += '#';
            else
                out += '.';
        }
        out += '\n';
    }
    return out;
}

} // namespace ombrix
