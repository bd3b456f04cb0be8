#pragma once

#include "app/shell/VXApplicationMover.h"
#include "RQS-Kit/Helper/QSMoveApplication.h"

// The start-up step of moving into an Applications folder, done by the kit's mover.
class VXApplicationsFolderMover : public VXApplicationMover
{
public:
    explicit VXApplicationsFolderMover(const QSMoveApplication &mover)
        : m_mover(mover)
    {
    }

    void moveToApplicationsFolderIfNecessary() override { m_mover.moveToApplicationsFolderIfNecessary(); }

private:
    QSMoveApplication m_mover;
};
