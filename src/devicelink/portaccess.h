#pragma once

#include <QString>

// How a user who may not open a serial device gets access to it: by joining
// the group that owns the device (usually "dialout") when that group may
// read and write it, else only through the administrator.
QString portPermissionHint(const QString &device, const QString &owner, const QString &group,
                           bool groupMayUse);

// The hint for a device that refused to open, or an empty text when this
// process may read and write it (the refusal had another reason, such as
// another program holding the port).
QString portAccessHint(const QString &device);
