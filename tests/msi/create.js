// Creates the control by its ProgID, as the host does, and reads properties.
// With the argument "absent": the ProgID must no longer create anything.
// Prints "ok - ..." / "FAIL - ..." lines and, last, SCRIPT COMPLETE.

function check(passed, what) {
  WScript.Echo((passed ? "ok - " : "FAIL - ") + what);
}

var absent = WScript.Arguments.length > 0 && WScript.Arguments(0) == "absent";
try {
  var r = new ActiveXObject("Korvex.Ramulet");
  check(!absent && typeof r == "object", "Korvex.Ramulet " + (absent ? "still " : "") + "created by its ProgID");
  if (!absent) {
    // Properties of plain values: those typed by the host's own library
    // need the host's registration, which a bare machine does not have.
    r.q = 5;
    check(r.q === 5, "q reads back what was written");
    r.Method = "Main";
    check(r.Method === "Main", "Method reads back what was written");
  }
} catch (e) {
  check(absent, "Korvex.Ramulet by its ProgID: " + e.description + " (" + e.number + ")");
}
WScript.Echo("SCRIPT COMPLETE");
