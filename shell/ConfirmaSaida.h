#pragma once

namespace messages {
class MessageBox;
}

namespace shell {

struct SharedState;

// Asks the exit question (message 32) in a yes/no box; true when the user
// answered with the first button.
[[nodiscard]] bool ConfirmaSaida(SharedState &state, messages::MessageBox &box);

} // namespace shell
