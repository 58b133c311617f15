#pragma once

#include <QString>

class QFileDevice;

// A reason a person can read, in Japanese, for the failure the system last reported (errno), with
// the device's own wording where it has one.
QString fileErrorReason(int systemError, const QFileDevice* device = nullptr);
