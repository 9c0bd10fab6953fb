// The automation callback for modal user interface and the records of message boxes and
// beeps, shared by the message box here and by modal UI elsewhere in the layer.
#pragma once

#include <winapi/desktop.h>

namespace winapi::window {

struct ModalRecords {
    std::vector<desktop::MessageBoxRecord> message_boxes;
    std::vector<UINT> beeps;
    std::vector<desktop::LaunchRecord> launches;
    desktop::AutomationCallback automation;
};

ModalRecords& modal_records();

// Asks the automation callback; 0 when there is none (or it wants the default).
int ask_automation(const desktop::ModalEvent& event);

} // namespace winapi::window
