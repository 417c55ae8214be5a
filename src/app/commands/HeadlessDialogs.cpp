#include "app/commands/HeadlessDialogs.h"

#include "app/commands/SettingsDialogModel.h"

#include <ostream>

namespace quibo {

void HeadlessDialogs::ShowOptionsDialog() {
    m_out
        << "[Dialog] " << SettingsDialogModel::Caption.toStdString() << '\n'
        << "Not shown without a display: nothing was stored. Pass the server address and port as arguments 6 "
           "and 7, or set them in a session with a display.\n"
        << std::flush;
}

void HeadlessDialogs::ShowAboutBox() {
    m_out << "[Dialog] About: not shown without a display.\n" << std::flush;
}

} // namespace quibo
