#include "ui/data_exchange.h"

#include <charconv>
#include <cmath>
#include <system_error>

#include "ui/text.h"

namespace skarn {
namespace {

bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }

qsizetype skipBlanks(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && isBlank(text.at(i))) ++i;
    return i;
}

}  // namespace

QString integerMessage() { return QStringLiteral("Please enter an integer."); }

QString integerRangeMessage(std::int32_t low, std::int32_t high) {
    return QStringLiteral("Please enter an integer between %1 and %2.").arg(low).arg(high);
}

QString numberMessage() { return QStringLiteral("Please enter a number."); }

QString maxCharsMessage(int maxChars) {
    return QStringLiteral("Please enter no more than %1 characters.").arg(maxChars);
}

std::optional<std::int32_t> parseInteger(const QString& text) {
    qsizetype i = skipBlanks(text);
    bool negative = false;
    if (i < text.size() && (text.at(i) == u'+' || text.at(i) == u'-')) {
        negative = text.at(i) == u'-';
        ++i;
    }
    if (i == text.size()) return std::nullopt;
    // Accumulate as a negative number: its range holds -2^31.
    constexpr std::int64_t kLimit = std::int64_t{1} << 31;
    std::int64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c < u'0' || c > u'9') return std::nullopt;
        magnitude = magnitude * 10 + (c.unicode() - u'0');
        if (magnitude > kLimit) return std::nullopt;  // stops long before int64 overflows
    }
    if (!negative && magnitude == kLimit) return std::nullopt;
    return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

std::optional<double> parseNumber(const QString& text) {
    const QByteArray latin = text.mid(skipBlanks(text)).toLatin1();
    const char* first = latin.constData();
    const char* last = first + latin.size();
    if (first != last && *first == '+') {  // from_chars takes no plus sign
        ++first;
        if (first != last && *first == '-') return std::nullopt;
    }
    double value = 0;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last || first == last || !std::isfinite(value))
        return std::nullopt;
    return value;
}

QString formatNumber(double value) {
    char buffer[64];
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    if (error != std::errc()) return QString();
    return QString::fromLatin1(buffer, end - buffer);
}

DataExchange::DataExchange(Dialog& dialog, bool saveAndValidate)
    : dialog_(dialog), save_(saveAndValidate) {}

QWidget* DataExchange::begin(int id) {
    if (failed_) return nullptr;
    last_ = dialog_.control(id);
    Q_ASSERT_X(last_, "DataExchange", "no control with this id");
    return last_;
}

void DataExchange::fail(const QString& message) {
    if (failed_) return;
    failed_ = true;
    messageBox(&dialog_, message, applicationName(), MessageIcon::Exclamation);
    if (!last_) return;
    last_->setFocus(Qt::OtherFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(last_)) edit->selectAll();
}

void DataExchange::number(int id, std::int32_t& value, std::int32_t low, std::int32_t high) {
    number(id, value);
    if (save_ && !failed_ && (value < low || value > high)) fail(integerRangeMessage(low, high));
}

void DataExchange::number(int id, std::int32_t& value) {
    auto* edit = dynamic_cast<Edit*>(begin(id));
    if (!edit) return;
    if (!save_) {
        edit->setText(QString::number(value));
        return;
    }
    const std::optional<std::int32_t> parsed = parseInteger(edit->text());
    if (!parsed) return fail(integerMessage());
    value = *parsed;
}

void DataExchange::number(int id, double& value) {
    auto* edit = dynamic_cast<Edit*>(begin(id));
    if (!edit) return;
    if (!save_) {
        edit->setText(formatNumber(value));
        return;
    }
    const std::optional<double> parsed = parseNumber(edit->text());
    if (!parsed) return fail(numberMessage());
    value = *parsed;
}

void DataExchange::listIndex(int id, std::int32_t& index) {
    auto* list = dynamic_cast<ComboBox*>(begin(id));
    if (!list) return;
    if (save_)
        index = list->curSel();
    else
        list->setCurSel(index);
}

void DataExchange::listText(int id, std::string& text) {
    auto* list = dynamic_cast<ComboBox*>(begin(id));
    if (!list) return;
    if (save_)
        text = list->selectedEntry();
    else
        list->selectString(text);
}

void DataExchange::text(int id, std::string& text) {
    auto* edit = dynamic_cast<Edit*>(begin(id));
    if (!edit) return;
    if (save_)
        text = edit->bytes();
    else
        edit->setBytes(text);
}

void DataExchange::text(int id, std::string& text, int maxChars) {
    auto* edit = dynamic_cast<Edit*>(begin(id));
    if (!edit) return;
    if (!save_) edit->limitText(maxChars);
    this->text(id, text);
    if (save_ && !failed_ && edit->text().size() > maxChars) fail(maxCharsMessage(maxChars));
}

}  // namespace skarn
