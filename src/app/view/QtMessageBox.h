#pragma once

#include "base/Services.h"

namespace quibo {

// Message boxes as modal Qt message boxes over the active window. The text is
// shown as plain text (a ">" or "<" in it is not markup), CR LF as a line break.
class QtMessageBox final : public MessageBoxService {
public:
    MsgAnswer show(const MessageBoxRequest& request) override;
};

} // namespace quibo
