#include "app/shell/VXServiceQueue.h"

#include <QRegularExpression>
#include <QStringList>
#include <QUrl>

#include <cups/cups.h>

namespace {

const char *const AdminResource = "/admin/";

// Questions need no password: a question that would fails.
const char *noPassword(const char *, http_t *, const char *, const char *, void *) { return nullptr; }

ipp_t *requestFor(ipp_op_t operation, const QString &name)
{
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", 0, "/printers/%s", name.toUtf8().constData());
    ipp_t *request = ippNewRequest(operation);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    return request;
}

// What the password callback of one change keeps while libcups uses it.
struct Asking
{
    const VXServiceQueue::CredentialsSource &source;
    QByteArray password;
};

// The name libcups sends with a password is the user it is set to when the callback returns.
const char *askForCredentials(const char *prompt, http_t *, const char *, const char *, void *data)
{
    auto *asking = static_cast<Asking *>(data);
    const std::optional<platform::PasswordPanel::Credentials> credentials
        = asking->source ? asking->source(QString::fromUtf8(prompt)) : std::nullopt;
    if (!credentials)
        return nullptr;
    cupsSetUser(credentials->user.toUtf8().constData());
    asking->password = credentials->password.toUtf8();
    return asking->password.constData();
}

QString shellQuoted(const QString &word)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_./:=-]+$"));
    if (plain.match(word).hasMatch())
        return word;
    QString quoted = word;
    return QLatin1Char('\'') + quoted.replace(QLatin1Char('\''), QStringLiteral("'\\''")) + QLatin1Char('\'');
}

} // namespace

VXServiceQueue::VXServiceQueue(const QString &name, const QString &foldwisePath)
    : m_name(name)
    , m_foldwisePath(foldwisePath)
{
}

void VXServiceQueue::setCredentialsSource(CredentialsSource source) { m_credentials = std::move(source); }

VXServiceQueue::Result VXServiceQueue::send(ipp_t *request) const
{
    const QByteArray user = cupsUser();
    Asking asking{m_credentials, {}};
    cupsSetPasswordCB2(askForCredentials, &asking);
    ippDelete(cupsDoRequest(CUPS_HTTP_DEFAULT, request, AdminResource));
    cupsSetPasswordCB2(noPassword, nullptr);
    cupsSetUser(user.constData());
    const ipp_status_t status = cupsLastError();
    Result result;
    result.ok = status <= IPP_STATUS_OK_CONFLICTING;
    result.forbidden = status == IPP_STATUS_ERROR_FORBIDDEN || status == IPP_STATUS_ERROR_NOT_AUTHORIZED
        || status == IPP_STATUS_ERROR_CUPS_AUTHENTICATION_CANCELED;
    result.notPossible = status == IPP_STATUS_ERROR_NOT_POSSIBLE;
    result.reason = QString::fromUtf8(cupsLastErrorString());
    return result;
}

QString VXServiceQueue::name() const { return m_name; }

QString VXServiceQueue::deviceURI() const
{
    QUrl uri;
    uri.setScheme(Scheme);
    uri.setPath(m_foldwisePath);
    return uri.toString(QUrl::FullyEncoded);
}

VXServiceQueue::State VXServiceQueue::state(QString *error) const
{
    ipp_t *request = requestFor(IPP_OP_GET_PRINTER_ATTRIBUTES, m_name);
    const char *const attributes[] = {"device-uri", "printer-op-policy"};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 2, nullptr, attributes);
    cupsSetPasswordCB2(noPassword, nullptr);
    ipp_t *response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");
    const ipp_status_t status = cupsLastError();
    State state = State::Unknown;
    if (status == IPP_STATUS_ERROR_NOT_FOUND) {
        state = State::Missing;
    } else if (status <= IPP_STATUS_OK_CONFLICTING) {
        ipp_attribute_t *device = ippFindAttribute(response, "device-uri", IPP_TAG_URI);
        ipp_attribute_t *policy = ippFindAttribute(response, "printer-op-policy", IPP_TAG_NAME);
        const QString uri = device ? QString::fromUtf8(ippGetString(device, 0, nullptr)) : QString();
        const QString policyName = policy ? QString::fromUtf8(ippGetString(policy, 0, nullptr)) : QString();
        if (!uri.startsWith(Scheme + QLatin1Char(':')))
            state = State::Foreign;
        else
            state = uri == deviceURI() && policyName == AuthenticatedPolicy ? State::Current : State::Ours;
    } else if (error) {
        *error = QString::fromUtf8(cupsLastErrorString());
    }
    ippDelete(response);
    return state;
}

VXServiceQueue::Result VXServiceQueue::add() const
{
    ipp_t *request = requestFor(IPP_OP_CUPS_ADD_MODIFY_PRINTER, m_name);
    ippAddString(request, IPP_TAG_PRINTER, IPP_TAG_URI, "device-uri", nullptr, deviceURI().toUtf8().constData());
    // The job goes to the backend as the printing program made it: Foldwise wants the PDF itself.
    ippAddString(request, IPP_TAG_PRINTER, IPP_TAG_NAME, "ppd-name", nullptr, "raw");
    ippAddString(request, IPP_TAG_PRINTER, IPP_TAG_TEXT, "printer-info", nullptr, m_name.toUtf8().constData());
    ippAddBoolean(request, IPP_TAG_PRINTER, "printer-is-accepting-jobs", 1);
    ippAddBoolean(request, IPP_TAG_PRINTER, "printer-is-shared", 0);
    // The backend hands a job only to the user it names, so CUPS must have checked that name.
    ippAddString(request, IPP_TAG_PRINTER, IPP_TAG_NAME, "printer-op-policy", nullptr, AuthenticatedPolicy.toUtf8().constData());
    ippAddInteger(request, IPP_TAG_PRINTER, IPP_TAG_ENUM, "printer-state", IPP_PSTATE_IDLE);
    return send(request);
}

QString VXServiceQueue::operationPolicy(QString *error) const
{
    ipp_t *request = requestFor(IPP_OP_GET_PRINTER_ATTRIBUTES, m_name);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr, "printer-op-policy");
    cupsSetPasswordCB2(noPassword, nullptr);
    ipp_t *response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");
    ipp_attribute_t *policy = ippFindAttribute(response, "printer-op-policy", IPP_TAG_NAME);
    const QString name = policy ? QString::fromUtf8(ippGetString(policy, 0, nullptr)) : QString();
    if (name.isEmpty() && error)
        *error = cupsLastError() <= IPP_STATUS_OK_CONFLICTING ? QStringLiteral("the server names no operation policy")
                                                              : QString::fromUtf8(cupsLastErrorString());
    ippDelete(response);
    return name;
}

VXServiceQueue::Result VXServiceQueue::remove() const { return send(requestFor(IPP_OP_CUPS_DELETE_PRINTER, m_name)); }

QString VXServiceQueue::administratorCommand() const
{
    const QStringList words{QStringLiteral("lpadmin"), QStringLiteral("-p"), m_name, QStringLiteral("-E"), QStringLiteral("-v"), deviceURI(),
                            QStringLiteral("-m"), QStringLiteral("raw"), QStringLiteral("-o"),
                            QStringLiteral("printer-op-policy=") + AuthenticatedPolicy};
    QStringList quoted;
    for (const QString &word : words)
        quoted << shellQuoted(word);
    return quoted.join(QLatin1Char(' '));
}
