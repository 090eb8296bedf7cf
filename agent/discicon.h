#pragma once
#include <QIcon>

namespace tbk::agent {

// The agent's own window icon: a disc under a magnifying glass.
QIcon discSeekIcon();

} // namespace tbk::agent
