#pragma once
#include "app/ui/PrintPhoto.h"

#include <optional>

class QWidget;

namespace tamsel {

// The system's print dialog (printer, copies, paper and its orientation)
// with a page of the photo's own: "适合页面" and a preview of the page as
// it will print. What was chosen, or nothing when the user cancelled.
// fit comes in as last time's choice and goes out as this one's.
std::optional<PrintChoice> AskPrintChoice(QWidget* parent, const PrintJob& job, PrintFit& fit);

}  // namespace tamsel
