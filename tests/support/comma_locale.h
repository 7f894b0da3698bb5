#pragma once

#include <clocale>
#include <cstring>
#include <string>

#include <QLocale>

namespace skarn::testing {

// Puts a German locale, which writes numbers with a decimal comma, in place
// while it lives: as Qt's default locale and as the C library's. The machine
// must have the locale (scripts/install-deps generates de_DE.UTF-8); a test
// asserts active() before it checks anything, so that it cannot pass without
// the locale it is about.
class CommaLocale {
public:
    CommaLocale() : qtBefore_(QLocale()) {
        if (const char* now = std::setlocale(LC_ALL, nullptr)) cBefore_ = now;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8"})
            if (std::setlocale(LC_ALL, name)) break;
    }
    ~CommaLocale() {
        QLocale::setDefault(qtBefore_);
        std::setlocale(LC_ALL, cBefore_.c_str());
    }
    CommaLocale(const CommaLocale&) = delete;
    CommaLocale& operator=(const CommaLocale&) = delete;

    // Whether both Qt and the C library now write a decimal comma.
    static bool active() {
        return QLocale().decimalPoint() == QStringLiteral(",") &&
               std::strcmp(std::localeconv()->decimal_point, ",") == 0;
    }

private:
    QLocale qtBefore_;
    std::string cBefore_ = "C";
};

}  // namespace skarn::testing
