#include "app/shell/VXCupsJob.h"

#include <cups/cups.h>

VXCupsJob::VXCupsJob(int id)
    : m_id(id)
{
}

std::optional<ipp_jstate_t> VXCupsJob::state(QString *error) const
{
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", 0, "/jobs/%d", m_id);
    ipp_t *request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr, "job-state");
    ipp_t *response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");
    std::optional<ipp_jstate_t> state;
    if (ipp_attribute_t *found = ippFindAttribute(response, "job-state", IPP_TAG_ENUM))
        state = ipp_jstate_t(ippGetInteger(found, 0));
    else if (error)
        *error = cupsLastError() <= IPP_STATUS_OK_CONFLICTING ? QStringLiteral("the server tells no state of job %1").arg(m_id)
                                                              : QString::fromUtf8(cupsLastErrorString());
    ippDelete(response);
    return state;
}
