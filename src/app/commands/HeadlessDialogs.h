#pragma once

#include "app/commands/FormDialogs.h"

#include <iosfwd>

namespace quibo {

// The dialogs of a run without a display: nobody could answer them, so each
// says on the stream that it was not shown and stores nothing, as Cancel does.
class HeadlessDialogs final : public FormDialogs {
public:
    explicit HeadlessDialogs(std::ostream& out) : m_out(out) {}
    void ShowOptionsDialog() override;
    void ShowAboutBox() override;

private:
    std::ostream& m_out;
};

} // namespace quibo
