#pragma once
// The recording view of the session-level tables: what a window would show, in order, as
// message boxes and error reports.

#include <string>
#include <utility>
#include <vector>

#include "session/Session.h"

namespace kvado_test {

enum class Kind { Message, Error };

class Shown : public kvado::session::SessionView {
public:
    void showMessage(const std::string& utf8) override { seen.push_back({Kind::Message, utf8}); }
    void showError(const std::string& utf8) override { seen.push_back({Kind::Error, utf8}); }
    std::vector<std::pair<Kind, std::string>> seen;
};

} // namespace kvado_test
