// Platform-internal: the icons and type names of files in the toolkit's lists, told from
// each entry's name and kind alone. Included only by platform sources and platform tests.
//
// Qt's own provider reads the first bytes of a regular file whose name tells nothing, on
// the thread that asks, which is the one that shows the list: under /proc such a read may
// wait for ever (/proc/kmsg, for the super-user), and the program with it. What is no
// regular file (a folder, a device, a pipe) Qt tells by its status, without opening it.
#pragma once

#include <QFileIconProvider>
#include <QMimeDatabase>

class TNameOnlyIconProvider final : public QFileIconProvider {
public:
    using QFileIconProvider::icon;  // the icon of a kind
    QIcon icon(const QFileInfo& info) const override;
    QString type(const QFileInfo& info) const override;

private:
    QMimeType TypeOf(const QFileInfo& info) const;

    QMimeDatabase mimeTypes_;
};
