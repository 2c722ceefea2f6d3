# Sourced by the scripts that read packaging/linux-targets, from the
# repository's root: linuxTargets prints the table's rows, without its
# comments, blank lines and header, or, at the first row whose columns are
# not those the header names, says where and fails, so that no column is
# taken for another.
linuxTargets() {
  awk -v table=packaging/linux-targets '
    /^[[:space:]]*(#|$)/ { next }
    !columns { columns = NF; next }
    NF != columns {
      printf "%s:%d: %d columns, where the header names %d\n", table, NR, NF, columns > "/dev/stderr"
      failed = 1
      exit
    }
    { print }
    END { exit failed }' packaging/linux-targets
}
