# The library's version, in one place. The module's version resource, the type library version in
# the IDL, the side-by-side assembly identity and the release package name are all made from it
# (tools/make_dist.py reads this file too).
set(KRO_PACKAGE_NAME kroProgramDll)
set(KRO_VERSION 1.0.0.3)        # module version: fixed version block and the assembly identity
set(KRO_TYPELIB_VERSION 4.0)    # type library version (major.minor)

# Derived forms: "1,0,0,3" for the fixed block, "1.00.0003" for the version strings
# (major, two-digit minor, four-digit revision), and the type library's two numbers.
string(REPLACE "." ";" _kro_parts ${KRO_VERSION})
list(GET _kro_parts 0 KRO_VERSION_MAJOR)
list(GET _kro_parts 1 KRO_VERSION_MINOR)
list(GET _kro_parts 3 KRO_VERSION_REVISION)
string(REPLACE "." "," KRO_VERSION_COMMAS ${KRO_VERSION})
function(_kro_pad value width out)
    string(LENGTH "${value}" n)
    while(n LESS width)
        set(value "0${value}")
        math(EXPR n "${n} + 1")
    endwhile()
    set(${out} ${value} PARENT_SCOPE)
endfunction()
_kro_pad(${KRO_VERSION_MINOR} 2 _kro_minor)
_kro_pad(${KRO_VERSION_REVISION} 4 _kro_revision)
set(KRO_VERSION_TEXT "${KRO_VERSION_MAJOR}.${_kro_minor}.${_kro_revision}")
string(REPLACE "." ";" _kro_parts ${KRO_TYPELIB_VERSION})
list(GET _kro_parts 0 KRO_TYPELIB_MAJOR)
list(GET _kro_parts 1 KRO_TYPELIB_MINOR)
