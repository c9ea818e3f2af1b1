#include "platform/runtime/FileIconsQt.h"

#include <QFileInfo>
#include <QIcon>

QIcon TNameOnlyIconProvider::icon(const QFileInfo& info) const
{
    if (!info.isFile())
        return QFileIconProvider::icon(info);
    const QMimeType mime = TypeOf(info);
    for (const QString& name : {mime.iconName(), mime.genericIconName()})
        if (const QIcon themed = QIcon::fromTheme(name); !themed.isNull())
            return themed;
    return QFileIconProvider::icon(File);
}

QString TNameOnlyIconProvider::type(const QFileInfo& info) const
{
    if (!info.isFile())
        return QFileIconProvider::type(info);
    const QMimeType mime = TypeOf(info);
    return mime.comment().isEmpty() ? mime.name() : mime.comment();
}

QMimeType TNameOnlyIconProvider::TypeOf(const QFileInfo& info) const
{
    return mimeTypes_.mimeTypeForFile(info.fileName(), QMimeDatabase::MatchExtension);
}
