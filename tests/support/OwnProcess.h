#pragma once

#include <QList>
#include <QString>

#include <utility>

// Qt reads some of the environment once a process (the system locale and the languages the
// desktop prefers): a case that needs them set its own way runs in a process of its own. Called
// first in such a case, it runs the case again in a new process of the test program with these
// variables set (a null value unsets one) and the rest as they are, takes that run's result as
// the case's and answers false; in the new process it answers true, and the case goes on there.
bool inOwnProcessWith(const QList<std::pair<const char *, QString>> &variables);
