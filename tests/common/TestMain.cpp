#include "common/TestEnvironment.h"

#include <QApplication>

#include <algorithm>
#include <cstring>
#include <memory>

int main(int argc, char *argv[])
{
    testenv::prepareTestEnvironment();
    QApplication app(argc, argv);
    app.setApplicationName("Tarnwick");

    auto tests = testenv::registeredTests();
    std::sort(tests.begin(), tests.end(),
              [](const auto &a, const auto &b) { return std::strcmp(a.name, b.name) < 0; });

    // A first argument that names a class runs that class alone with the rest
    // of the arguments; otherwise every class runs with all of them.
    QStringList args = app.arguments();
    if (args.size() > 1) {
        const auto chosen = std::find_if(tests.begin(), tests.end(), [&](const auto &t) {
            return args.at(1) == QLatin1String(t.name);
        });
        if (chosen != tests.end()) {
            const testenv::RegisteredTest one = *chosen;
            tests = {one};
            args.removeAt(1);
        }
    }

    int failures = 0;
    for (const auto &test : tests) {
        testenv::resetSandbox();
        std::unique_ptr<QObject> object(test.make());
        failures += QTest::qExec(object.get(), args);
    }
    return failures > 0 ? 1 : 0;
}
