#include "app/identity.h"

#include "brevon_identity.h"

#include <QCoreApplication>

void applyIdentity()
{
    QCoreApplication::setApplicationName(QStringLiteral(BREVON_PRODUCT_NAME));
    QCoreApplication::setOrganizationName(QStringLiteral(BREVON_COMPANY_NAME));
    QCoreApplication::setApplicationVersion(QStringLiteral(BREVON_VERSION));
}
