#include "status_text.h"

namespace ombrix {

std::string StatusMessageTrimmed(int status) {
    std::string s(StatusMessage(status));
    static constexpr std::string_view kIdeographicSpace = "\u3000";
    for (;;) {
        if (!s.empty() && s.back() == ' ') {
            s.pop_back();
        } else if (s.size() >= kIdeographicSpace.size() &&
                   s.compare(s.size() - kIdeographicSpace.size(), kIdeographicSpace.size(),
                             kIdeographicSpace) == 0) {
            s.resize(s.size() - kIdeographicSpace.size());
        } else {
            return s;
        }
    }
}

} // namespace ombrix
