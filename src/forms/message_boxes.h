// The one seam through which the window shows message boxes, so that tests can see every message
// and answer it.
#pragma once

#include <functional>

#include "message.h"

class QWidget;

namespace zr::gui {

using MessageHandler = std::function<MessageAnswer(QWidget* parent, const Message& message)>;

// Shows the message as a modal box (caption, icon, buttons as the message says) and returns the answer.
MessageAnswer ShowMessage(QWidget* parent, const Message& message);

// Replaces how messages are shown; an empty handler restores the real message boxes. Returns the
// handler that was in force.
MessageHandler SetMessageHandler(MessageHandler handler);

}  // namespace zr::gui
