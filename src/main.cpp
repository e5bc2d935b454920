#include "app/formregistry.h"
#include "app/identity.h"
#include "windows/formcatalog.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    applyIdentity();

    FormRegistry registry(formCatalog());
    registry.showForm(FormKind::Main);
    return app.exec();
}
