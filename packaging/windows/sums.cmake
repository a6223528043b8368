# Writes SHA256SUMS beside the packages, as sha256sum writes it, so that a
# download can be checked with `sha256sum -c SHA256SUMS` or against the
# figures Windows' Get-FileHash shows:
#   cmake -DDIR=FOLDER -DZIP=NAME -DSETUP=NAME -P sums.cmake
set(sums "")
foreach(name "${ZIP}" "${SETUP}")
  file(SHA256 "${DIR}/${name}" hash)
  string(APPEND sums "${hash}  ${name}\n")
endforeach()
file(WRITE "${DIR}/SHA256SUMS" "${sums}")
