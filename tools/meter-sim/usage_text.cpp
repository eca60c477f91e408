#include "usage_text.h"

namespace quillon::metersim {

#define DEFAULT_SCRIPT "func dcv; range 1; sine 0 3 10 10; loop"

const char* const kDefaultScript = DEFAULT_SCRIPT;

const char* const kUsageText = R"(Usage: quillon-meter-sim <link path> [options]
       quillon-meter-sim <link path> --replay FILE [--speed X]
       quillon-meter-sim --check [--script FILE | -e TEXT | --replay FILE]

Plays a hand-held multimeter that streams 10-byte frames at 9600 baud. Opens a
pseudo-terminal, makes <link path> a symbolic link to its slave side (an earlier
link of that name is replaced; a file or device is never touched), prints
"ready <link path> -> <slave>" on standard output and writes frames until it is
stopped (Ctrl+C, SIGTERM), which removes the link. Point QUILLON at the link:
  QUILLON_PORTS=<link path> quillon

Options:
  --script FILE   play the script in FILE ("-" reads standard input)
  -e TEXT         play TEXT, commands separated by ";" or new lines
  --rate N        frames per second at the start (default 4, at most 96)
  --seed N        seed of the noise bytes (default 1)
  -v, --verbose   log every frame and event on standard error
  --replay FILE   play back a capture written by QUILLON or quillon-record with
                  --capture FILE: the bytes of every read at their time.
                  Playing starts once a program holds the line (QUILLON and
                  quillon-record open it for exclusive use) and prints
                  "playing". A read that follows a pause waits until the
                  program has read the one before, so a program that polls
                  gets the bytes poll for poll as in the captured run. After
                  the last read the line hangs up and the simulator ends
  --speed X       with --replay: X times as fast (default 1, 0.01 .. 1000)
  --check         check the script or capture, print the first error, and exit
  -h, --help      show this text
Without a script it plays: )" DEFAULT_SCRIPT R"(

Script format: one command a line, or several separated by ";". "#" starts a
comment. Numbers use "." for decimals; times are seconds ("2" or "2s"). Commands
run in order; after the last one the meter goes on sending its last reading.

  rate <n>          frames per second from here on (0.1 .. 96)
  func <f>          function: a code 0..255 or one of off acv dcv acmv ohm cap hz
                    acua aca tempc acdcv dcmv acdcmv buzzer diode dcua dcma dca
                    acma tempf duty acdcua acdcma acdca ns
  range <r>         range index 0..7, sent as the character "0".."7"
  rangebyte <hh>    the range byte as it is sent, in hexadecimal (05, 0x3B)
  value <v>         the reading in the range's unit, e.g. -2.352; turned into a
                    count with the decimals the display shows in the function and
                    range in force at this line (none for a range the meter does
                    not have). A leading "-" sets the negative bit, so
                    "value -0" is a negative zero. A value too large for a frame
                    (count above 131071) is sent as an overload.
  count <[-]n>      the reading as a raw count 0..131071, optional "-"
  overload [-]      the display shows OL (or -OL) until the next value or count
  send [n]          send n frames of the current reading (default 1)
  hold <s>          send the current reading for s seconds
  sine <centre> <amplitude> <period> <s>
                    a sine wave for s seconds (values as for "value")
  ramp <from> <to> <s>
                    a straight line from <from> to <to> over s seconds
  steps <from> <to> <step> <s>
                    <from>, <from>+<step>, ... up to <to>, s seconds each
  noise <n>         n random bytes between frames (never the sync byte F0)
  flood <s> [share] for s seconds, random bytes as fast as the line takes them,
                    with a frame of the current reading at the frame rate in
                    between; with a share (0..1), that share of the bytes is the
                    sync byte F0, otherwise every byte value is alike
  bytes <hh> ...    raw bytes in hexadecimal between frames, e.g. bytes F0 11 02
  torn [n]          only the first n bytes (1..9, default 5) of the next frame
  silence <s>       send nothing for s seconds
  hangup            close the line, remove the link and exit
  hangup <s>        close the line and remove the link, then open a new line
                    and link after s seconds and go on with the script
  loop              start again from the first command
  seed <n>          restart the noise bytes from seed n

Examples:
  # DC volts on the 6 V range (three decimals), a slow sine, for ever
  func dcv
  range 1
  sine 0 3 10s 10s
  loop

  # resistance: 1.2345 KΩ, then the 60 KΩ range, an overload and back
  func ohm; range 1; value 1.2345; hold 5
  range 2; value 12.345; hold 5
  overload; hold 3; value 0.500; hold 5; loop

  # faults: noise, a torn frame, a pause, a pulled cable for 5 seconds
  func dcv; range 1; value -2.352; hold 3
  noise 40; send 4; torn; send 4; silence 20
  hangup 5; hold 10; hangup

  quillon-meter-sim /tmp/quillon-meter -e "func acv; range 2; value 230.5"
)";

}  // namespace quillon::metersim
