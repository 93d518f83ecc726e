// The status messages, one per status code. Each is exactly 44 bytes in code
// page 932: the text and trailing spaces, so a message drawn on an opaque
// background covers any earlier one. The padding is part of the message.
#pragma once

#include <string>
#include <string_view>

namespace ombrix {

inline constexpr std::string_view kStatusMessages[8] = {
    "\u3000\u3000\u3000\u3000\u3000\u3000\u3000\u3000\u3000\u3000\u3000\u3000\u3000\u3000\u3000"
    "\u3000\u3000\u3000\u3000\u3000\u3000\u3000",
    "この問題は成立していません   \u3000\u3000 \u3000\u3000\u3000\u3000  ",
    "このプログラムでは解けません \u3000\u3000 \u3000\u3000\u3000\u3000  ",
    "問題が正常に読み込めません    \u3000\u3000 \u3000\u3000\u3000\u3000 ",
    "自動解析中！\u3000しばらくお待ちください\u3000\u3000\u3000\u3000",
    "この問題は別解があります（○が黒マスの場合）",
    "数字合計がマス数より少ないです\u3000\u3000\u3000\u3000\u3000\u3000\u3000",
    "数字合計がマス数より多いです\u3000\u3000\u3000\u3000\u3000\u3000\u3000\u3000",
};

// The padded message of `status`, or an empty view for a code without one.
inline std::string_view StatusMessage(int status) {
    return status >= 0 && status < 8 ? kStatusMessages[status] : std::string_view{};
}

// The message without its padding, for plain-text output.
std::string StatusMessageTrimmed(int status);

} // namespace ombrix
