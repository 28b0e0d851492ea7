#pragma once
#include <QByteArray>
#include <QString>

namespace tamsel::testing {

// Sets (or, with empty bytes, deletes) the root window's _ICC_PROFILE on
// display, as a colour manager does. True when the server took it.
bool SetRootIccProfile(const QString& display, const QByteArray& icc);

}  // namespace tamsel::testing
