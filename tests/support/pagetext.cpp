#include "support/pagetext.h"

#include <QProcess>
#include <QRegularExpression>
#include <algorithm>

namespace rotamet::pagetext {

QString run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

QList<Line> readLines(const QString &pdf)
{
    const QString html = run("pdftotext", {"-bbox", pdf, "-"});
    static const QRegularExpression word(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="[\d.]+">([^<]*)</word>)re");
    QList<Word> words;
    for (const auto &m : word.globalMatch(html))
        words.append({m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble(), m.captured(4)});
    std::stable_sort(words.begin(), words.end(), [](const Word &a, const Word &b) { return a.top < b.top; });
    QList<Line> lines;
    for (const Word &w : words) {
        if (lines.isEmpty() || w.top - lines.last().first().top > 3)
            lines.append(Line());
        lines.last().append(w);
    }
    for (Line &l : lines)
        std::sort(l.begin(), l.end(), [](const Word &a, const Word &b) { return a.left < b.left; });
    return lines;
}

QString text(const Line &line)
{
    QStringList t;
    for (const Word &w : line)
        t << w.text;
    return t.join(' ');
}

QStringList texts(const QList<Line> &lines)
{
    QStringList out;
    for (const Line &l : lines)
        out << text(l);
    return out;
}

QList<Line> rows(const QList<Line> &lines)
{
    static const QRegularExpression speed("^\\d+$");
    QList<Line> out;
    for (const Line &l : lines)
        if (speed.match(l.first().text).hasMatch())
            out.append(l);
    return out;
}

}  // namespace rotamet::pagetext
