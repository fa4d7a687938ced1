# Reads a Wine trace made with WINEDEBUG=-all,+timestamp,+pid,+relay, the
# relay limited to Sleep, SetTimer and KillTimer, and prints each fixed
# pause that a process took, one a line:
#
#   PID START_MS END_MS
#
# A pause is a sleep of 500 ms or more, from its call to its return, or a
# timer of 500 ms or more, from SetTimer to the KillTimer of the same
# window and id (the kit's programs kill a timer when it fires). Shorter
# sleeps are polls that wait for another program's work, and count as work.
# Trace lines look like
#   6387.995:0120:0124:Call KERNEL32.Sleep(000001f4) ret=004058b0
# and their times are in the milliseconds of GetTickCount.

function hex(text,    value, i) {
  value = 0
  text = tolower(text)
  for (i = 1; i <= length(text); i++) value = value * 16 + index("0123456789abcdef", substr(text, i, 1)) - 1
  return value
}

# The arguments of a traced call, split at commas into `args`.
function arguments(line, args,    from, to) {
  from = index(line, "(")
  to = index(line, ")")
  return split(substr(line, from + 1, to - from - 1), args, ",")
}

BEGIN { kShortest = 500 }

{
  if (split($0, field, ":") < 4) next
  ms = int(field[1] * 1000 + 0.5)
  pid = field[2]
  thread = pid ":" field[3]
  call = substr($0, length(field[1] field[2] field[3]) + 4)
}

call ~ /^Call KERNEL32\.Sleep\(/ {
  arguments(call, args)
  if (hex(args[1]) >= kShortest) asleep[thread] = ms
}
call ~ /^Ret  KERNEL32\.Sleep\(/ && (thread in asleep) {
  print pid, asleep[thread], ms
  delete asleep[thread]
}
call ~ /^Call user32\.SetTimer\(/ {
  arguments(call, args)
  if (hex(args[3]) >= kShortest) running[pid ":" args[1] ":" args[2]] = ms
}
call ~ /^Call user32\.KillTimer\(/ {
  arguments(call, args)
  key = pid ":" args[1] ":" args[2]
  if (key in running) {
    print pid, running[key], ms
    delete running[key]
  }
}
