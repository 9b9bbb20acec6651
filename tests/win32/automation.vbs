' Ramulet through a late-bound VBScript client: the twelve properties,
' NomMet, RodEst, TestMacros, and members called with wrong arguments.
' The one argument is a method name in Cyrillic letters ("Первая").
' Prints "ok - ..." / "FAIL - ..." lines and, last, SCRIPT COMPLETE.
Option Explicit
On Error Resume Next

Const TypeMismatch = &H80020005

Sub Check(passed, what)
  If passed Then
    WScript.Echo "ok - " & what
  Else
    WScript.Echo "FAIL - " & what
  End If
End Sub

' Checks that the statement before failed (with `code`, when not 0) and
' clears the error.
Sub CheckError(code, what)
  Dim passed
  passed = Err.Number <> 0 And Len(Err.Description) > 0
  If code = TypeMismatch Then passed = passed And (Err.Number = TypeMismatch Or Err.Number = 13)
  Check passed, what & " (error " & Hex(Err.Number) & ": " & Err.Description & ")"
  Err.Clear
End Sub

Sub CheckNoError(what)
  Check Err.Number = 0, what & " (error " & Hex(Err.Number) & ")"
  Err.Clear
End Sub

Dim r, other, dict, n, x, result, first, items, moment
first = WScript.Arguments(0)
Check Len(first) = 6, "the Cyrillic name arrives"

Set r = CreateObject("Korvex.Ramulet")
CheckNoError "created by ProgID"
Set other = CreateObject("Korvex.Ramulet")
Set dict = CreateObject("Scripting.Dictionary")

' --- the twelve properties ---
Check r.curTextDoc Is Nothing, "curTextDoc starts as Nothing"
Set r.curTextDoc = Nothing
CheckNoError "curTextDoc set to Nothing"
Check IsEmpty(r.Method) And IsEmpty(r.CommonScripts), "Method and CommonScripts start empty"
r.Method = 5
Check r.Method = 5 And TypeName(r.Method) = "Integer", "Method keeps an Integer"
r.MethodNach = 100000
Check r.MethodNach = 100000 And TypeName(r.MethodNach) = "Long", "MethodNach keeps a Long"
r.MethodKon = first
Check r.MethodKon = first, "MethodKon keeps Cyrillic text"
r.Meth = Array(1, "two", Array(3, 4))
items = r.Meth
Check UBound(items) = 2 And items(1) = "two" And items(2)(1) = 4, "Meth keeps a nested array"
Set r.A = dict
Check r.A Is dict, "A keeps the very object set"
r.b = 2.5
Check r.b = 2.5 And TypeName(r.b) = "Double", "b keeps a Double"
r.c = Null
Check IsNull(r.c), "c keeps Null"
r.d = True
Check r.d = True And TypeName(r.d) = "Boolean", "d keeps a Boolean"
r.q = CSng(1.5)
Check r.q = 1.5 And TypeName(r.q) = "Single", "q keeps a Single"
Set r.doc = other
Check r.doc Is other, "doc keeps another control"
r.CommonScripts = ""
Check r.CommonScripts = "" And TypeName(r.CommonScripts) = "String", "CommonScripts keeps an empty text"
Set r.MethodNach = dict
Check r.MethodNach Is dict, "set by reference stores the object"
CheckNoError "no error while storing"

' --- NomMet, RodEst, TestMacros ---
n = first
result = r.NomMet(n)
Check result = -1 And TypeName(result) = "Integer", "NomMet of an unknown name is the Integer -1"
Check n = first, "NomMet leaves its by-reference argument alone"
x = 7
Check r.NomMet(x) = -1 And x = 7, "NomMet of a number finds nothing and leaves it alone"
result = r.RodEst(x, first, 0)
CheckError TypeMismatch, "RodEst without a tree node fails"
r.TestMacros
CheckNoError "TestMacros runs"
Check r.Method = 5 And r.doc Is other, "TestMacros changes nothing"

'' --- values stored exactly as given ---
moment = DateSerial(2024, 2, 29) + TimeSerial(13, 45, 10)
r.A = moment
Check r.A = moment And TypeName(r.A) = "Date", "A keeps a date"
r.b = CCur(12.3456)
Check r.b = CCur(12.3456) And TypeName(r.b) = "Currency", "b keeps a currency amount"
r.c = CByte(200)
Check r.c = 200 And TypeName(r.c) = "Byte", "c keeps a byte"
r.Meth = Array(1, moment)
items = r.Meth
Check UBound(items) = 1 And items(1) = moment And TypeName(items(1)) = "Date", "Meth keeps an array holding a date"
Dim grid(1, 2)
grid(1, 2) = "corner"
r.q = grid
items = r.q
Check UBound(items, 1) = 1 And UBound(items, 2) = 2 And items(1, 2) = "corner", "q keeps a two-dimensional array"
CheckNoError "no error while storing dates, currency, bytes and arrays"

' --- wrong argument types: script errors, never a crash ---
Set r.A = dict
r.b = 2.5
Set r.curTextDoc = dict
CheckError 0, "curTextDoc takes no other object"
result = r.NomMet()
CheckError 0, "NomMet without its argument"
result = r.RodEst(1)
CheckError 0, "RodEst with too few arguments"
result = r.NoSuchMember
CheckError 0, "an unknown member"
Check r.A Is dict And r.b = 2.5, "failed puts keep the values stored before"

WScript.Echo "SCRIPT COMPLETE"
