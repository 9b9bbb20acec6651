# Finds faults of our code in the debug output of a Wine run; sourced by
# the runners, which run every Wine program with WINEDEBUG=+seh,+loaddll and
# keep its stderr apart from the ok/FAIL lines on stdout.
#
#   wine_faults STDERR_FILE IMAGE...
#
# IMAGE is the Windows build of a module of ours (Ramulet.dll, a test
# program). Prints one line per fault found and returns 1 when there is any.
#
# The rule. Wine raises and handles exceptions of its own by design (RPC
# errors, C++ exceptions thrown and caught, probes of memory), so a first-
# chance exception alone is no fault. A run fails when its output shows
#   - a hardware fault (access violation c0000005, illegal or privileged
#     instruction, integer division by zero, stack overflow, heap corruption,
#     fast fail, breakpoint, misalignment) whose address lies inside the
#     image of one of our modules, as +loaddll reports where each was loaded
#     and the image's header gives its size; or
#   - an access violation on execute (info[0] = 8): the processor jumped to
#     memory that holds no code, the mark of a call through a dangling
#     pointer, whatever module made it; or
#   - an exception that nobody handled ("Unhandled ..." from Wine), which
#     ends the process however its status reads.
# Loader messages, the loader's swallowing of a fault in DllMain and the
# exit status are not trusted: the fault itself is looked for.

wine_image_size() {  # wine_image_size IMAGE -> SizeOfImage as a number
  local objdump
  for objdump in "${OBJDUMP:-}" x86_64-w64-mingw32-objdump i686-w64-mingw32-objdump; do
    [ -n "$objdump" ] && command -v "$objdump" > /dev/null 2>&1 || continue
    local size
    size=$("$objdump" -p "$1" 2> /dev/null | awk '$1 == "SizeOfImage" { print $2; exit }')
    if [ -n "$size" ]; then echo $((16#$size)); return 0; fi
  done
  echo 0
}

wine_faults() {
  local log=$1 image images=""
  shift
  for image in "$@"; do
    images="$images $(basename "$image" | tr 'A-Z' 'a-z')=$(wine_image_size "$image")"
  done
  tr -d '\r' < "$log" | awk -v images="$images" '
    function hex(text,    i, c, value) {
      text = tolower(text); sub(/^0x/, "", text); value = 0
      for (i = 1; i <= length(text); i++) {
        c = index("0123456789abcdef", substr(text, i, 1)); if (c == 0) break
        value = value * 16 + c - 1
      }
      return value
    }
    function owner(address,    name) {
      for (name in base) if (address >= base[name] && address < base[name] + size[name]) return name
      return ""
    }
    BEGIN {
      n = split(images, list, " ")
      for (i = 1; i <= n; i++) { split(list[i], pair, "="); size[pair[1]] = pair[2] + 0 }
      fault["c0000005"] = "access violation"; fault["c000001d"] = "illegal instruction"
      fault["c0000096"] = "privileged instruction"; fault["c0000094"] = "integer division by zero"
      fault["c00000fd"] = "stack overflow"; fault["c0000374"] = "heap corruption"
      fault["c0000409"] = "fast fail"; fault["80000003"] = "breakpoint"; fault["80000002"] = "misalignment"
      found = 0
    }
    /:trace:loaddll:.*Loaded L"/ {
      line = $0; sub(/.*Loaded L"/, "", line); path = line; sub(/".*/, "", path)
      name = tolower(path); sub(/.*\\/, "", name)
      address = line; sub(/.*" at /, "", address); sub(/:.*/, "", address)
      if (name in size) base[name] = hex(address)
      next
    }
    /:trace:seh:dispatch_exception code=/ {
      code = $0; sub(/.*code=/, "", code); sub(/ .*/, "", code); code = tolower(code)
      while (length(code) < 8) code = "0" code
      address = $0; sub(/.*addr=/, "", address); sub(/ .*/, "", address)
      where = owner(hex(address)); last_code = code; last_address = address
      if ((code in fault) && where != "") {
        print "fault: " fault[code] " (" code ") at " address " in " where; found = 1
      }
      next
    }
    /:trace:seh:dispatch_exception +info\[0\]=/ {
      kind = $0; sub(/.*info\[0\]=/, "", kind)
      if (last_code == "c0000005" && hex(kind) == 8 && owner(hex(last_address)) == "") {
        print "fault: execute access to " last_address " (a call through a dangling pointer)"; found = 1
      }
      next
    }
    /^wine: Unhandled|Unhandled exception/ { print "fault: " $0; found = 1 }
    END { exit found }
  '
}
