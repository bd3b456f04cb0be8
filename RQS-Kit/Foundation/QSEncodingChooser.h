#pragma once

#include <QList>
#include <QString>

#include <memory>
#include <optional>

class QSEncodingTester;

// Guesses a text file's encoding by scoring it against encoding profiles, and reads it so.
class QSEncodingChooser
{
public:
    // On first use, a profile for every "encoding" resource of the main bundle.
    static QSEncodingChooser *sharedEncodingChooser();

    void addEncodingTester(const std::shared_ptr<QSEncodingTester> &tester);
    const QList<std::shared_ptr<QSEncodingTester>> &encodingTesters() const;

    // The profile with the highest score above 0 (the earlier one of equals); null when none scores.
    std::shared_ptr<QSEncodingTester> chooseEncodingFor(const QString &path) const;
    // The text in the best profile's encoding when its score reaches more than ratio per
    // character; else null with *error (logged) telling why.
    std::optional<QString> contentOfFile(const QString &path, double ratio, QString *error = nullptr) const;

private:
    QList<std::shared_ptr<QSEncodingTester>> m_encodingTesters;
};
