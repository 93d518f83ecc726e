#include "error_reasons.h"

#include <QRegularExpression>

#include <algorithm>
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

const Known kReadKnown[] = {
    {ENOENT, "ファイルが見つかりません"},
    {ENOTDIR, "ファイルが見つかりません"},
    {EACCES, "読み込む権限がありません"},
    {EPERM, "読み込む権限がありません"},
    {EISDIR, "フォルダは開けません"},
    {EIO, "ディスクから読み込めません"},
};

template <std::size_t N>
QString Lookup(const Known (&table)[N], const std::string& error) {
    for (const Known& k : table)
        if (EndsWith(error, ": " + std::generic_category().message(k.err)))
            return QString::fromUtf8(k.reason);
    return QString::fromLocal8Bit(error.c_str());
}

} // namespace

QString SaveFailureReason(const std::string& error) {
    return Lookup(kKnown, error);
}

QString ReadFailureReason(const std::string& error) {
    return Lookup(kReadKnown, error);
}

QString PuzzleFailureReason(ReadKind kind, const std::string& error) {
    switch (kind) {
    case ReadKind::Complete:
        return {};
    case ReadKind::NotRead:
        return ReadFailureReason(error);
    case ReadKind::CutShort: {
        // "... after N of the M bytes a W x H board needs"
        static const QRegularExpression sizes(QStringLiteral("after (\\d+) of the (\\d+) bytes"));
        const QRegularExpressionMatch m = sizes.match(QString::fromLocal8Bit(error.c_str()));
        if (m.hasMatch())
            return QStringLiteral("ファイルが途中で切れています（%1 バイト目で終わっています。%2 "
                                  "バイト必要です）")
                .arg(m.captured(1), m.captured(2));
        return QStringLiteral("ファイルが途中で切れています");
    }
    case ReadKind::Refused:
        break;
    }
    if (error.find("this is grid text") != std::string::npos)
        return QStringLiteral("グリッドテキストです（拡張子を .grid にすると読み込めます）");
    const std::size_t colon = error.find(": ");
    const QString detail =
        QString::fromLocal8Bit(colon == std::string::npos ? error.c_str() : error.c_str() + colon + 2);
    return QStringLiteral("問題ファイルではないか、壊れています（%1）").arg(detail);
}

QString GridTextFailureReason(int line, int column, const std::string& message) {
    const QString what = QString::fromLocal8Bit(message.c_str());
    if (line <= 0) return QStringLiteral("グリッドテキストとして読めません（%1）").arg(what);
    return QStringLiteral("グリッドテキストの %1 行 %2 文字目が読めません（%3）")
        .arg(line)
        .arg(std::max(column, 1))
        .arg(what);
}

} // namespace ombrix
