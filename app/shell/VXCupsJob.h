#pragma once

#include <QString>

#include <cups/ipp.h>

#include <optional>

// A job of the CUPS server that libcups is pointed at, as the server holds it at the moment asked.
class VXCupsJob
{
public:
    explicit VXCupsJob(int id);

    // Empty, the reason in error, when the server cannot say (it knows no such job, or does not answer).
    std::optional<ipp_jstate_t> state(QString *error) const;

private:
    int m_id;
};
