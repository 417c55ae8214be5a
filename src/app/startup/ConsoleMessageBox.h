#pragma once

#include "base/Services.h"

#include <iosfwd>

namespace quibo {

// Message boxes for a run without a display: each box's title and text go to
// the stream (standard error in the program) and the box answers with its
// default button instead of waiting for a click nobody can give.
class ConsoleMessageBox final : public MessageBoxService {
public:
    explicit ConsoleMessageBox(std::ostream& out);
    MsgAnswer show(const MessageBoxRequest& request) override;

private:
    std::ostream& m_out;
};

} // namespace quibo
