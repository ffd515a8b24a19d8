#ifndef SERIALSPEED_LINUX_P_H
#define SERIALSPEED_LINUX_P_H

// Baud rates that have no B-constant, through the kernel's termios2 interface. Its header
// clashes with the C library's <termios.h>, so it lives in a file of its own.
namespace SerialSpeed {

// Sets the terminal's input and output speed to baudRate; true when the driver runs the line
// within 2 % of it, the framing tolerance of an asynchronous line.
bool setCustomSpeed(int fd, int baudRate);

} // namespace SerialSpeed

#endif // SERIALSPEED_LINUX_P_H
