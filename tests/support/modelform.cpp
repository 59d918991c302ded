#include "support/modelform.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>

#include "calc/calculation.h"

namespace rotamet::print {

namespace {

std::optional<int> plainInt(std::string_view s)
{
    int v = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size() || s.empty())
        return std::nullopt;
    return v;
}

// "7,0°", "15", "12,5" → tenths of a degree.
std::optional<int> angleTenths(std::string text)
{
    const std::string degree = "°";
    if (text.size() >= degree.size() && text.compare(text.size() - degree.size(), degree.size(), degree) == 0)
        text.erase(text.size() - degree.size());
    const auto comma = text.find(',');
    auto whole = plainInt(text.substr(0, comma));
    if (!whole)
        return std::nullopt;
    int tenth = 0;
    if (comma != std::string::npos) {
        std::string decimals = text.substr(comma + 1);
        if (decimals.empty() || !plainInt(decimals))
            return std::nullopt;
        tenth = decimals[0] - '0';
    }
    return *whole * 10 + tenth;
}

std::string thousandths(double v)
{
    long long t = std::llround(v * 1000);
    char buf[48];
    std::snprintf(buf, sizeof buf, "%lld,%03lld", t / 1000, t % 1000);
    return buf;
}

}  // namespace

ModelForm::ModelForm(Printer &printer) : printer_(printer)
{
    fields = {{calc::Field::GiriMinuto, "1000"},
              {calc::Field::Angolo, "7,0°"},
              {calc::Field::Millisecondi, "1,00"},
              {calc::Field::Millimetri, "0,40"}};
    captions = {{3, "26,4"}, {4, "36"}, {5, "4,80"}, {6, "110°"}};
    calculate();
    calculations = 0;
}

std::string ModelForm::strokeText(int speed, int angleTenths)
{
    return "mm " + thousandths(angleTenths / 10.0 * speed / 100000.0);
}

std::string ModelForm::timeText(int speed, int angleTenths)
{
    if (speed == 0)
        return "ms ";
    return "ms " + thousandths(angleTenths / 10.0 * 1000.0 / (6.0 * speed));
}

void ModelForm::calculate()
{
    calc::ErrorBoxScope scope;
    ++calculations;
    const auto speed = plainInt(fields[calc::Field::GiriMinuto]);
    const auto angle = angleTenths(fields[calc::Field::Angolo]);
    if (!angle) {
        if (calc::ErrorBoxScope::claimBox())
            showCriticalBox("Errore 13  Tipo non corrispondente", "Errore di calcolo");
        return;
    }
    fields[calc::Field::Angolo] = std::to_string(*angle / 10) + "," + std::to_string(*angle % 10) + "°";
    if (!speed)
        return;
    captions[9] = strokeText(*speed, *angle);
    captions[10] = timeText(*speed, *angle);
}

std::string ModelForm::fieldText(calc::Field field) { return fields[field]; }

void ModelForm::setFieldText(calc::Field field, const std::string &text)
{
    const bool changed = fields[field] != text;
    fields[field] = text;
    if (field == calc::Field::GiriMinuto && changed)
        calculate();
}

std::string ModelForm::pumpCode() { return pump; }
std::string ModelForm::valueCaption(int index) { return captions[index]; }
void ModelForm::runCalculation() { calculate(); }
void ModelForm::processPendingEvents() { speedsAtEvents.push_back(fields[calc::Field::GiriMinuto]); }
Printer &ModelForm::printer() { return printer_; }

void ModelForm::showInformationBox(const std::string &text, const std::string &title)
{
    boxes.push_back({text, title, false});
}

void ModelForm::showCriticalBox(const std::string &text, const std::string &title)
{
    boxes.push_back({text, title, true});
}

void ModelForm::showWarningBox(const std::string &text, const std::string &title)
{
    boxes.push_back({text, title, false, true});
}

std::string ModelForm::todayShortDate() { return today; }
std::string ModelForm::printerDeviceName() { return printer_.deviceName(); }
std::string ModelForm::printerSecondText() { return printer_.secondText(); }

}  // namespace rotamet::print
