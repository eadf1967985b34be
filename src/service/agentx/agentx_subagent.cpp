// SPDX-License-Identifier: GPL-3.0-or-later
#include "service/agentx/agentx_subagent.h"

#include "service/agentx/element_values.h"
#include "service/agentx/mib_table.h"

// The agent library's headers want this order.
#include <net-snmp/net-snmp-config.h>
// clang-format off
#include <net-snmp/net-snmp-includes.h>
#include <net-snmp/agent/net-snmp-agent-includes.h>
#include <net-snmp/agent/agent_callbacks.h>
#include <net-snmp/library/large_fd_set.h>
// clang-format on

#include <QDebug>

#include <array>
#include <sys/time.h>
#include <type_traits>

namespace ondalink {

static_assert(std::is_same_v<oid, mib::SubId>, "the table's searches use the library's sub-identifiers");

namespace {

constexpr char kAppName[] = "ondalink-nmsd";
constexpr std::array<oid, 7> kMib = {1, 3, 6, 1, 4, 1, 62014};
constexpr std::array<oid, 9> kCount = {1, 3, 6, 1, 4, 1, 62014, 1, 1};
constexpr std::array<oid, 9> kTable = {1, 3, 6, 1, 4, 1, 62014, 1, 2};
constexpr std::array<oid, 10> kEntry = {1, 3, 6, 1, 4, 1, 62014, 1, 2, 1};
constexpr std::array<oid, 11> kSnmpTrapOid = {1, 3, 6, 1, 6, 3, 1, 1, 4, 1, 0};
constexpr std::array<oid, 9> kColumns = {mib::ColumnMac,      mib::ColumnName,      mib::ColumnAddressType,
                                         mib::ColumnAddress,  mib::ColumnRole,      mib::ColumnStatus,
                                         mib::ColumnLastSeen, mib::ColumnRoundTrip, mib::ColumnSilence};
bool subagentRunning = false;

void setString(netsnmp_variable_list *vb, const QByteArray &bytes) {
    snmp_set_var_typed_value(vb, ASN_OCTET_STR, bytes.constData(), static_cast<size_t>(bytes.size()));
}

void setInteger(netsnmp_variable_list *vb, long value) {
    snmp_set_var_typed_value(vb, ASN_INTEGER, &value, sizeof value);
}

// The value of one cell of a row.
void setCell(netsnmp_variable_list *vb, const BoardRow &row, oid column) {
    switch (column) {
    case mib::ColumnMac:
        setString(vb, mib::macOctets(row.mac));
        break;
    case mib::ColumnName:
        setString(vb, mib::nameOctets(row.name));
        break;
    case mib::ColumnAddressType:
        setInteger(vb, mib::inetAddress(row.ip).type);
        break;
    case mib::ColumnAddress:
        setString(vb, mib::inetAddress(row.ip).octets);
        break;
    case mib::ColumnRole:
        setInteger(vb, mib::roleValue(row.role));
        break;
    case mib::ColumnStatus:
        setInteger(vb, mib::statusValue(row.status));
        break;
    case mib::ColumnLastSeen:
        setString(vb, mib::dateAndTime(row.lastSeen));
        break;
    case mib::ColumnRoundTrip:
        setInteger(vb, mib::roundTripValue(row.roundTripMs));
        break;
    case mib::ColumnSilence:
        setInteger(vb, mib::silenceValue(row.silence));
        break;
    default:
        break;
    }
}

} // namespace

struct AgentxSubagent::Glue {
    static int table(netsnmp_mib_handler *handler, netsnmp_handler_registration * /*registration*/,
                     netsnmp_agent_request_info *info, netsnmp_request_info *requests) {
        auto *self = static_cast<AgentxSubagent *>(handler->myvoid);
        if (self->m_indices.size() != self->m_board.rows().size())
            self->rebuildIndices();
        const mib::TableShape shape{kEntry, kColumns, self->m_indices};
        for (netsnmp_request_info *request = requests; request; request = request->next) {
            if (request->processed)
                continue;
            netsnmp_variable_list *vb = request->requestvb;
            const std::span<const oid> requested(vb->name, vb->name_length);
            std::optional<mib::Cell> cell;
            switch (info->mode) {
            case MODE_GET:
                cell = mib::exactCell(shape, requested);
                if (!cell) {
                    netsnmp_set_request_error(info, request, SNMP_NOSUCHINSTANCE);
                    continue;
                }
                break;
            case MODE_GETNEXT:
                // An inclusive search (a retry at the next subtree) may answer the OID itself.
                if (request->inclusive)
                    cell = mib::exactCell(shape, requested);
                if (!cell)
                    cell = mib::nextCell(shape, requested);
                if (!cell)
                    continue; // past the table: the agent goes on to the next subtree
                {
                    std::array<oid, kEntry.size() + 2> name{};
                    std::copy(kEntry.begin(), kEntry.end(), name.begin());
                    name[kEntry.size()] = cell->column;
                    name[kEntry.size() + 1] = cell->index;
                    snmp_set_var_objid(vb, name.data(), name.size());
                }
                break;
            default:
                netsnmp_set_request_error(info, request, SNMP_ERR_NOTWRITABLE);
                continue;
            }
            setCell(vb, self->m_board.rows().at(cell->position), cell->column);
        }
        return SNMP_ERR_NOERROR;
    }

    static int count(netsnmp_mib_handler *handler, netsnmp_handler_registration * /*registration*/,
                     netsnmp_agent_request_info *info, netsnmp_request_info *requests) {
        const auto *self = static_cast<const AgentxSubagent *>(handler->myvoid);
        for (netsnmp_request_info *request = requests; request; request = request->next) {
            if (info->mode != MODE_GET) {
                netsnmp_set_request_error(info, request, SNMP_ERR_NOTWRITABLE);
                continue;
            }
            const auto rows = static_cast<u_long>(self->m_board.rows().size());
            snmp_set_var_typed_value(request->requestvb, ASN_GAUGE, &rows, sizeof rows);
        }
        return SNMP_ERR_NOERROR;
    }

    static int connection(int /*major*/, int minor, void * /*server*/, void *client) {
        static_cast<AgentxSubagent *>(client)->setConnected(minor == SNMPD_CALLBACK_INDEX_START);
        return SNMPERR_SUCCESS;
    }

    // The library's own messages: warnings and worse, one line each, as the service's.
    static int log(int /*major*/, int /*minor*/, void *server, void * /*client*/) {
        const auto *message = static_cast<const snmp_log_message *>(server);
        if (message->priority <= LOG_WARNING)
            qWarning().noquote() << "net-snmp:" << QString::fromUtf8(message->msg).trimmed();
        return SNMPERR_SUCCESS;
    }
};

AgentxSubagent::AgentxSubagent(const StatusBoard &board, QObject *parent) : QObject(parent), m_board(board) {
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &AgentxSubagent::serviceTimeout);
    connect(&board, &StatusBoard::listingReplaced, this, &AgentxSubagent::rebuildIndices);
    connect(&board, &StatusBoard::statusChanged, this, &AgentxSubagent::onStatusChanged);
    connect(&board, &StatusBoard::silenceChanged, this, &AgentxSubagent::onSilenceChanged);
}

AgentxSubagent::~AgentxSubagent() {
    if (!m_started)
        return;
    qDeleteAll(m_notifiers);
    m_notifiers.clear();
    // The library frees a callback's client argument at shutdown unless it is unregistered first.
    snmp_unregister_callback(SNMP_CALLBACK_APPLICATION, SNMPD_CALLBACK_INDEX_START, &Glue::connection, this,
                             1);
    snmp_unregister_callback(SNMP_CALLBACK_APPLICATION, SNMPD_CALLBACK_INDEX_STOP, &Glue::connection, this,
                             1);
    snmp_shutdown(kAppName);
    subagentRunning = false;
}

bool AgentxSubagent::start(const AgentxOptions &options, QString *error) {
    if (subagentRunning) {
        if (error)
            *error = QStringLiteral("an AgentX subagent already runs in this process");
        return false;
    }
    // No MIB files, configuration files or persistent state: the service's configuration says all.
    if (!qEnvironmentVariableIsSet("MIBS"))
        qputenv("MIBS", "");
    snmp_register_callback(SNMP_CALLBACK_LIBRARY, SNMP_CALLBACK_LOGGING, &Glue::log, nullptr);
    snmp_enable_calllog();
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_READ_CONFIGS, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_PERSIST_STATE, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DISABLE_PERSISTENT_LOAD, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DISABLE_PERSISTENT_SAVE, 1);
    // Alarms through the select timeout, which the timer below waits for, not SIGALRM.
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_ALARM_DONT_USE_SIG, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_APPLICATION_ID, NETSNMP_DS_AGENT_ROLE, 1);
    // Each failed reconnection would say so; this class says lost and back once each instead.
    netsnmp_ds_set_boolean(NETSNMP_DS_APPLICATION_ID, NETSNMP_DS_AGENT_NO_CONNECTION_WARNINGS, 1);
    if (!options.socket.isEmpty())
        netsnmp_ds_set_string(NETSNMP_DS_APPLICATION_ID, NETSNMP_DS_AGENT_X_SOCKET,
                              options.socket.toLocal8Bit().constData());

    snmp_register_callback(SNMP_CALLBACK_APPLICATION, SNMPD_CALLBACK_INDEX_START, &Glue::connection, this);
    snmp_register_callback(SNMP_CALLBACK_APPLICATION, SNMPD_CALLBACK_INDEX_STOP, &Glue::connection, this);
    if (init_agent(kAppName) != 0) {
        if (error)
            *error = QStringLiteral("the SNMP agent library did not start");
        return false;
    }
    // After init_agent, which sets its own default.
    netsnmp_ds_set_int(NETSNMP_DS_APPLICATION_ID, NETSNMP_DS_AGENT_AGENTX_PING_INTERVAL,
                       std::max(1, options.pingIntervalSeconds));
    netsnmp_handler_registration *table =
        netsnmp_create_handler_registration("onlElementTable", &Glue::table, kTable.data(), kTable.size(),
                                            HANDLER_CAN_RONLY | HANDLER_CAN_GETBULK);
    netsnmp_handler_registration *count = netsnmp_create_handler_registration(
        "onlElementCount", &Glue::count, kCount.data(), kCount.size(), HANDLER_CAN_RONLY);
    if (!table || !count) {
        if (error)
            *error = QStringLiteral("the SNMP agent library could not register the MIB");
        return false;
    }
    table->handler->myvoid = this;
    count->handler->myvoid = this;
    netsnmp_inject_handler(table, netsnmp_get_bulk_to_next_handler());
    if (netsnmp_register_handler(table) != MIB_REGISTERED_OK ||
        netsnmp_register_scalar(count) != MIB_REGISTERED_OK) {
        if (error)
            *error = QStringLiteral("the SNMP agent library could not register the MIB");
        return false;
    }
    rebuildIndices();
    m_started = true;
    subagentRunning = true;
    init_snmp(kAppName); // connects to the master, or arms the reconnection
    if (!m_connected)
        qWarning().noquote() << "SNMP: no AgentX master at"
                             << (options.socket.isEmpty() ? QStringLiteral("the default socket")
                                                          : options.socket)
                             << "yet; trying every" << options.pingIntervalSeconds << "s";
    rearm();
    return true;
}

void AgentxSubagent::serviceSockets(int fd) {
    netsnmp_large_fd_set fds;
    netsnmp_large_fd_set_init(&fds, fd + 1);
    NETSNMP_LARGE_FD_SET(fd, &fds);
    snmp_read2(&fds);
    netsnmp_large_fd_set_cleanup(&fds);
    afterRound();
}

void AgentxSubagent::serviceTimeout() {
    snmp_timeout();
    afterRound();
}

void AgentxSubagent::afterRound() {
    run_alarms();
    netsnmp_check_outstanding_agent_requests();
    rearm();
}

// The descriptors and the next timeout change with every (re)connection: read them after each round.
void AgentxSubagent::rearm() {
    int count = 0;
    int block = 1;
    timeval timeout{};
    netsnmp_large_fd_set fds;
    netsnmp_large_fd_set_init(&fds, FD_SETSIZE);
    snmp_select_info2(&count, &fds, &timeout, &block);
    QList<int> wanted;
    for (int fd = 0; fd < count; ++fd) {
        if (NETSNMP_LARGE_FD_ISSET(fd, &fds))
            wanted.append(fd);
    }
    netsnmp_large_fd_set_cleanup(&fds);
    const QList<int> watched = m_notifiers.keys();
    for (int fd : watched) {
        if (wanted.contains(fd))
            continue;
        QSocketNotifier *gone = m_notifiers.take(fd);
        gone->setEnabled(false);
        gone->deleteLater();
    }
    for (int fd : wanted) {
        if (m_notifiers.contains(fd))
            continue;
        auto *notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this, [this, fd] { serviceSockets(fd); });
        m_notifiers.insert(fd, notifier);
    }
    if (block)
        m_timer.stop();
    else
        m_timer.start(static_cast<int>(timeout.tv_sec * 1000 + (timeout.tv_usec + 999) / 1000));
}

void AgentxSubagent::setConnected(bool connected) {
    if (connected == m_connected)
        return;
    m_connected = connected;
    qWarning().noquote() << (connected ? "SNMP: connected to the AgentX master"
                                       : "SNMP: lost the AgentX master; reconnecting every ping interval");
    Q_EMIT connectedChanged(connected);
}

void AgentxSubagent::rebuildIndices() {
    m_indices.clear();
    m_indices.reserve(m_board.rows().size());
    for (const BoardRow &row : m_board.rows())
        m_indices.append(row.index);
}

void AgentxSubagent::onStatusChanged(const BoardRow &row, ElementStatus previous) {
    if (row.status == ElementStatus::Offline)
        sendNotification(1, "onlElementOffline", row, mib::ColumnStatus);
    else if (row.status == ElementStatus::Online && previous == ElementStatus::Offline)
        sendNotification(2, "onlElementOnline", row, mib::ColumnStatus);
}

void AgentxSubagent::onSilenceChanged(const BoardRow &row, SilenceState previous) {
    if (row.silence == SilenceState::Silent)
        sendNotification(3, "onlElementSilent", row, mib::ColumnSilence);
    else if (row.silence == SilenceState::Sounding && previous == SilenceState::Silent)
        sendNotification(4, "onlElementSounding", row, mib::ColumnSilence);
}

void AgentxSubagent::sendNotification(unsigned long which, const char *name, const BoardRow &row,
                                      unsigned long stateColumn) {
    if (!m_started)
        return;
    if (!m_connected) {
        qWarning().noquote() << "SNMP: not connected to the AgentX master;" << name << "for" << row.mac
                             << "dropped";
        return;
    }
    std::array<oid, kMib.size() + 2> trap{};
    std::copy(kMib.begin(), kMib.end(), trap.begin());
    trap[kMib.size()] = 0;
    trap[kMib.size() + 1] = which;
    netsnmp_variable_list *vars = nullptr;
    snmp_varlist_add_variable(&vars, kSnmpTrapOid.data(), kSnmpTrapOid.size(), ASN_OBJECT_ID, trap.data(),
                              trap.size() * sizeof(oid));
    for (const oid column : {mib::ColumnMac, mib::ColumnName, mib::ColumnAddressType, mib::ColumnAddress,
                             static_cast<mib::Column>(stateColumn)}) {
        std::array<oid, kEntry.size() + 2> instance{};
        std::copy(kEntry.begin(), kEntry.end(), instance.begin());
        instance[kEntry.size()] = column;
        instance[kEntry.size() + 1] = row.index;
        netsnmp_variable_list *vb =
            snmp_varlist_add_variable(&vars, instance.data(), instance.size(), ASN_NULL, nullptr, 0);
        if (vb)
            setCell(vb, row, column);
    }
    send_v2trap(vars);
    snmp_free_varbind(vars);
    // The trap goes out on the master's socket now, not at the next event.
    rearm();
}

} // namespace ondalink
