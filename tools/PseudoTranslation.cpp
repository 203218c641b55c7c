#include "PseudoTranslation.h"

#include <QDomDocument>
#include <QHash>
#include <QRegularExpression>

#include <cmath>

namespace tavrin {

namespace {

QChar accented(QChar letter) {
    static const QHash<QChar, QChar> accents = [] {
        QHash<QChar, QChar> table;
        const QString plain = QStringLiteral("aeioucnsyzAEIOUCNSYZ");
        const QString marked = QStringLiteral("àéîöüçñšýžÀÉÎÖÜÇÑŜÝŽ");
        for (qsizetype i = 0; i < plain.size(); ++i)
            table.insert(plain[i], marked[i]);
        return table;
    }();
    return accents.value(letter, letter);
}

// How long a part a program reads is at `at`: a tag, an entity, a placeholder, a mnemonic; 0 for text.
qsizetype readPartAt(const QString& text, qsizetype at) {
    static const QRegularExpression parts(QStringLiteral(
        "(?:</?[A-Za-z!][^<>]*>|&(?:#[0-9]+|#x[0-9A-Fa-f]+|[A-Za-z]+);|&&|&.|%%|%L?[0-9]{1,2}|%L?n)"));
    const QRegularExpressionMatch match =
        parts.match(text, at, QRegularExpression::NormalMatch, QRegularExpression::AnchorAtOffsetMatchOption);
    return match.hasMatch() ? match.capturedLength() : 0;
}

} // namespace

QString pseudoTranslation(const QString& english) {
    if (english.isEmpty())
        return english;
    QString accentedText;
    qsizetype letters = 0;
    for (qsizetype at = 0; at < english.size();) {
        if (const qsizetype part = readPartAt(english, at)) {
            accentedText += english.mid(at, part);
            at += part;
            ++letters; // a placeholder or mnemonic stands for text of its own
            continue;
        }
        accentedText += accented(english[at]);
        ++letters;
        ++at;
    }
    const auto padding = qsizetype(std::ceil(double(letters) * 0.4));
    return pseudoOpening + accentedText + QString(padding, u'~') + pseudoClosing;
}

std::expected<QByteArray, QString> pseudoTranslatedCatalogue(const QByteArray& catalogue) {
    QDomDocument document;
    QString error;
    int line = 0;
    if (!document.setContent(catalogue, &error, &line))
        return std::unexpected(QStringLiteral("The catalogue could not be read at line %1: %2.").arg(line).arg(error));
    const QDomNodeList messages = document.elementsByTagName(QStringLiteral("message"));
    for (int i = 0; i < messages.size(); ++i) {
        QDomElement message = messages.at(i).toElement();
        const QString source = message.firstChildElement(QStringLiteral("source")).text();
        QDomElement translation = message.firstChildElement(QStringLiteral("translation"));
        if (translation.isNull())
            translation = message.appendChild(document.createElement(QStringLiteral("translation"))).toElement();
        translation.removeAttribute(QStringLiteral("type"));
        const QString pseudo = pseudoTranslation(source);
        QDomNodeList forms = translation.elementsByTagName(QStringLiteral("numerusform"));
        if (message.attribute(QStringLiteral("numerus")) == u"yes" && forms.isEmpty()) {
            for (int form = 0; form < 2; ++form)
                translation.appendChild(document.createElement(QStringLiteral("numerusform")));
            forms = translation.elementsByTagName(QStringLiteral("numerusform"));
        }
        if (forms.isEmpty()) {
            while (translation.hasChildNodes())
                translation.removeChild(translation.firstChild());
            translation.appendChild(document.createTextNode(pseudo));
        }
        for (int form = 0; form < forms.size(); ++form) {
            QDomElement numerus = forms.at(form).toElement();
            while (numerus.hasChildNodes())
                numerus.removeChild(numerus.firstChild());
            numerus.appendChild(document.createTextNode(pseudo));
        }
    }
    return document.toByteArray(4);
}

} // namespace tavrin
