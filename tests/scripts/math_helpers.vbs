' MathClass as a script uses it: Integer and Long literals, Doubles, numeric text, Null.
Dim m, r, x, y
Set m = CreateObject("kroProgramDll.MathClass")

r = m.math_function(1, 2, 1, 5)
Check "vertical kind", r(0), 1
Check "vertical zero", r(1), 0
Check "vertical x", r(2), 1
Check "bounds", UBound(r), 2
Check "kind is Integer", TypeName(r(0)), "Integer"
r = m.math_function(3, 4, 7, 4)
Check "horizontal kind", r(0), 2
Check "horizontal y", r(2), 4
r = m.math_function(5, 5, 5, 5)
Check "same points kind", r(0), 1
Check "same points x", r(2), 5
r = m.math_function(0, 1, 2, 5)
Check "sloped kind", r(0), 0
Check "sloped slope", r(1), 2
Check "sloped intercept", r(2), 1
Check "slope is Single", TypeName(r(1)), "Single"
r = m.math_function(2, 0, 4, 2)
Check "zero y kind", r(0), 0
Check "zero y slope", r(1), 1
Check "zero y intercept", r(2), 2
x = 1.5
y = 4
r = m.math_function(x, y, 3.5, 8)
Check "double slope", r(1), 2
Check "double intercept", r(2), 1
Check "x unchanged", x, 1.5

Check "Anser_y", m.math_function_Anser_y(2, 1, 3), 7
Check "Anser_x", m.math_function_Anser_x(2, 1, 7), 3
Check "Anser_x zero slope", m.math_function_Anser_x(0, 5, 9), 5
Check "Anser_a", m.math_function_Anser_a(3, 7, 1), 2
Check "Anser_a zero y", m.math_function_Anser_a(3, 0, 1), 0
Check "Anser_a zero x", m.math_function_Anser_a(0, 7, 1), 0
Check "Anser_b", m.math_function_Anser_b(3, 7, 2), 1
Check "Anser_y text", m.math_function_Anser_y("2", 1, 3), 7
Check "Anser_y widens", TypeName(m.math_function_Anser_y(32767, 1, 2)), "Long"
Check "Anser_y Null", IsNull(m.math_function_Anser_y(Null, 1, 2)), True

Check "Parsent quarter", m.math_Parsent(1, 4), "0.25%"
Check "Parsent Integer", m.math_Parsent(CInt(1), CInt(3)), "0.3333333%"
Check "Parsent Long", m.math_Parsent(CLng(1), CLng(3)), "0.333333333333333%"
Check "Parsent Double", m.math_Parsent(1, 3.0), "0.333333333333333%"
Check "Parsent Null", m.math_Parsent(Null, 3), "%"

r = m.division(7, 2)
Check "division 7 2 remainder", r(0), 1
Check "division 7 2 quotient", r(1), 3
Check "division bounds", UBound(r), 1
r = m.division(-7, 2)
Check "division -7 2 remainder", r(0), -1
Check "division -7 2 quotient", r(1), -3
r = m.division(7, -2)
Check "division 7 -2 remainder", r(0), 1
Check "division 7 -2 quotient", r(1), -3
r = m.division(7.5, 2)
Check "division 7.5 remainder", r(0), 0
Check "division 7.5 quotient", r(1), 4
r = m.division(6.5, 2)
Check "division 6.5 remainder", r(0), 0
Check "division 6.5 quotient", r(1), 3
r = m.division("9", 4)
Check "division text", r(1), 2

On Error Resume Next
r = m.math_Parsent(1, 0)
CheckError "Parsent by zero", 11
r = m.math_Parsent(0, 0)
CheckError "Parsent zero by zero", 6
r = m.division(7, 0)
CheckError "division by zero", 11
r = m.division(7, 0.4)
CheckError "division by 0.4", 11
r = m.division(3000000000, 2)
CheckError "division overflow", 6
r = m.math_function("1", 2, "1.0", 5)
CheckError "texts subtracting to zero", 11
r = m.math_function_Anser_x("abc", 1, 2)
CheckError "text in zero test", 13
r = m.math_function_Anser_y(1, 2, "abc")
CheckError "text in arithmetic", 13
r = m.math_Intersection("abc", 1, 2, 3)
CheckError "Intersection text before notice", 13
On Error GoTo 0
Finish
