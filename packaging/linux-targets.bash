# The one reader of packaging/linux-targets, which takes the table's columns
# by the names its header gives them, so that no reader depends on where a
# column stands, or a row. Sourced from the repository's root by the scripts
# that read the table, and run so by cmake/linux-cross.cmake. LINUX_TARGETS,
# when set, names another table to read instead, as CI's check of the reader
# does.

# linuxTargets COLUMN...: prints, for every row of the table, the columns
# named, in the order named, one row a line. Stops, saying where, at a header
# that names a column twice or lacks one asked for, and at a row with more
# or fewer columns than the header names, so that no column is taken for
# another.
linuxTargets() {
  awk -v table="${LINUX_TARGETS:-packaging/linux-targets}" -v wanted="$*" '
    function stop(problem) {
      printf "%s:%d: %s\n", table, FNR, problem > "/dev/stderr"
      failed = 1
      exit
    }
    /^[[:space:]]*(#|$)/ { next }
    !columns {
      columns = NF
      for (i = 1; i <= NF; i++) {
        if ($i in at)
          stop("the header names " $i " twice")
        at[$i] = i
      }
      count = split(wanted, names, " ")
      for (k = 1; k <= count; k++)
        if (!(names[k] in at))
          stop("the header names no column " names[k])
      next
    }
    NF != columns { stop(NF " columns, where the header names " columns) }
    {
      row = $(at[names[1]])
      for (k = 2; k <= count; k++)
        row = row " " $(at[names[k]])
      print row
    }
    END { exit failed }' "${LINUX_TARGETS:-packaging/linux-targets}"
}
