// Ramulet through a late-bound JScript client: properties, NomMet, RodEst,
// TestMacros, and members called with wrong arguments, which must throw.
// Prints "ok - ..." / "FAIL - ..." lines and, last, SCRIPT COMPLETE.

function check(passed, what) {
  WScript.Echo((passed ? "ok - " : "FAIL - ") + what);
}

function hex(number) {
  return (number < 0 ? number + 0x100000000 : number).toString(16).toUpperCase();
}

// Runs `call`, which must throw; with `codes`, one of those error numbers.
function checkThrows(call, codes, what) {
  try {
    call();
    check(false, what + " (no error)");
  } catch (e) {
    var passed = !codes;
    for (var i = 0; codes && i < codes.length; ++i) {
      if (hex(e.number) == codes[i]) passed = true;
    }
    check(passed, what + " (error " + hex(e.number) + ": " + e.description + ")");
  }
}

var typeMismatch = ["80020005", "800A000D"];
var first = "\u041f\u0435\u0440\u0432\u0430\u044f";

var r = new ActiveXObject("Korvex.Ramulet");
check(typeof r == "object", "created by ProgID");

check(r.curTextDoc === null, "curTextDoc starts as null");
r.q = 5;
check(r.q === 5, "q keeps a number");
r.Method = first;
check(r.Method === first, "Method keeps Cyrillic text");
r.b = 2.5;
check(r.b === 2.5, "b keeps a fraction");
r.c = null;
check(r.c === null, "c keeps null");
r.d = true;
check(r.d === true, "d keeps a Boolean");
var list = [1, 2, 3];
r.A = list;
check(r.A === list, "A keeps the very array object");
var plain = {name: first};
r.doc = plain;
check(r.doc === plain && r.doc.name === first, "doc keeps the very object");

check(r.NomMet(first) === -1, "NomMet of an unknown name is -1");
checkThrows(function () { r.RodEst(1, first, 0); }, typeMismatch, "RodEst without a tree node throws");
r.TestMacros();
check(r.q === 5 && r.doc === plain, "TestMacros changes nothing");

checkThrows(function () { r.RodEst(plain, first, 1); }, typeMismatch, "RodEst with an object that is no node throws");
checkThrows(function () { r.curTextDoc = plain; }, null, "curTextDoc takes no other object");
checkThrows(function () { r.curTextDoc = 5; }, null, "curTextDoc takes no number");
checkThrows(function () { r.NomMet(); }, null, "NomMet without its argument");
checkThrows(function () { r.NoSuchMember(); }, null, "an unknown member");
check(r.A === list && r.q === 5, "failed calls change nothing");

WScript.Echo("SCRIPT COMPLETE");
