#include "staff/shown_text.h"

#include <QCoreApplication>

namespace zintaro::staff {

namespace {

std::string lookUp(const char* context, const char* source)
{
    return QCoreApplication::translate(context, source).toStdString();
}

} // namespace

QString shown(const Text& text)
{
    return QString::fromStdString(text.render(&lookUp));
}

} // namespace zintaro::staff
