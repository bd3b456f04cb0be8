#include "RQS-Kit/Foundation/QSResourceInfo.h"

QString QSResourceInfo::type() const { return m_type; }
void QSResourceInfo::setType(const QString &type) { m_type = type; }

qint64 QSResourceInfo::index() const { return m_index; }
void QSResourceInfo::setIndex(qint64 index) { m_index = index; }

QString QSResourceInfo::name() const { return m_name; }
void QSResourceInfo::setName(const QString &name) { m_name = name; }

QString QSResourceInfo::options() const { return m_options; }
void QSResourceInfo::setOptions(const QString &options) { m_options = options; }
