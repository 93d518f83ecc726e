#include "error_reasons.h"

#include <cerrno>
#include <system_error>

namespace ombrix {

namespace {

struct Known {
    int err;
    const char* reason;
};

// The writer ends its message with the system's text for the errno; the
// same text is made here, in the same language, to know which one it was.
const Known kKnown[] = {
    {EACCES, "書き込む権限がありません"},
    {EPERM, "書き込む権限がありません"},
    {ENOENT, "保存先のフォルダがありません"},
    {ENOTDIR, "保存先のフォルダがありません"},
    {ENOSPC, "ディスクの空きが足りません"},
    {EDQUOT, "ディスクの空きが足りません"},
    {EFBIG, "ファイルが大きすぎて書き込めません"},
    {EROFS, "読み取り専用のファイルシステムには保存できません"},
};

bool EndsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

} // namespace

QString SaveFailureReason(const std::string& error) {
    for (const Known& k : kKnown)
        if (EndsWith(error, ": " + std::generic_category().message(k.err)))
            return QString::fromUtf8(k.reason);
    return QString::fromLocal8Bit(error.c_str());
}

} // namespace ombrix
