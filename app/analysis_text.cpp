#include "app/analysis_text.h"

#include <algorithm>
#include <cmath>

namespace skarn {

QString resultText(double value) { return QString::number(value, 'g', 15); }

QString fixed2(double value) { return QString::number(value, 'f', 2); }

QString signedFixed(double value, int decimals) {
    const QString text = QString::number(value, 'f', decimals);
    return value > 0.0 ? QStringLiteral("+") + text : text;
}

QString intervalText(const std::optional<analysis::Interval>& interval, const QString& missing) {
    if (!interval) return missing;
    return QStringLiteral("[%1, %2]").arg(fixed2(interval->low), fixed2(interval->high));
}

QString signedIntervalText(const std::optional<analysis::Interval>& interval, int decimals) {
    if (!interval) return {};
    return QStringLiteral("[%1, %2]").arg(signedFixed(interval->low, decimals),
                                          signedFixed(interval->high, decimals));
}

QString countText(std::int64_t count) {
    QString digits = QString::number(count < 0 ? -count : count);
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3) digits.insert(at, QChar(0x202F));
    return count < 0 ? QStringLiteral("-") + digits : digits;
}

QString approxText(double value) {
    if (value == 0.0) return QStringLiteral("0");
    const double size = std::fabs(value);
    // Two significant digits, but never fewer than one decimal.
    const int decimals = size >= 1.0 ? 1 : std::min(6, 1 - static_cast<int>(std::floor(std::log10(size))));
    return signedFixed(value, decimals);
}

QString resultUnit(analysis::Result result) {
    switch (result) {
        case analysis::Result::WinPercent: return QStringLiteral("% win");
        case analysis::Result::DamageTaken: return QStringLiteral("damage taken");
        case analysis::Result::DamageGiven: return QStringLiteral("damage given");
        case analysis::Result::Time: return QStringLiteral("s to fell the Opponent");
    }
    return {};
}

QString resultTitle(analysis::Result result) {
    switch (result) {
        case analysis::Result::WinPercent: return QStringLiteral("Win %");
        case analysis::Result::DamageTaken: return QStringLiteral("Damage taken");
        case analysis::Result::DamageGiven: return QStringLiteral("Damage given");
        case analysis::Result::Time: return QStringLiteral("Seconds to fell the Opponent");
    }
    return {};
}

}  // namespace skarn
