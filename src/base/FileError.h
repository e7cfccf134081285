#pragma once
// The error of a file the program reads or writes: its message is the one the error report
// shows, naming the file and the system's reason.

#include <stdexcept>

namespace kvado {

class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace kvado
