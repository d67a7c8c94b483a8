// Makes the empty message file in a program folder when none is there; an existing file is never touched.
#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>

#include "store/MessageStore.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: %s FICHIER\n", argv[0]);
        return 2;
    }
    const QString path = args.at(1);
    if (QFileInfo::exists(path))
        return 0;
    QString error;
    if (!tavanote::MessageStore::createEmpty(path, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    std::printf("Fichier des messages créé: %s\n", qPrintable(path));
    return 0;
}
