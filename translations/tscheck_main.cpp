// ktavro_tscheck FILE.ts...: status 1 and one line per problem when a file has a text that
// a release would show untranslated or broken.
#include "tscheck.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList files = app.arguments().mid(1);
    if (files.isEmpty()) {
        std::fprintf(stderr, "usage: ktavro_tscheck FILE.ts...\n");
        return 64;
    }
    int problems = 0;
    for (const QString &path : files) {
        const tscheck::Report report = tscheck::checkFile(path);
        if (!report.readError.isEmpty()) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(report.readError));
            ++problems;
            continue;
        }
        for (const QString &problem : report.problems)
            std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(problem));
        problems += report.problems.size();
    }
    return problems == 0 ? 0 : 1;
}
