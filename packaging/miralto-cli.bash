# bash completion for miralto-cli: its commands, its options, and file names after -i and -o.
_miralto_cli() {
  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
  case $prev in
    -i | --input-file | -o | --output-file)
      compopt -o filenames 2>/dev/null
      mapfile -t COMPREPLY < <(compgen -f -- "$cur")
      return
      ;;
    --correction | --input-string | --comment-delimiter | --columns | --threads)
      return
      ;;
    --to)
      mapfile -t COMPREPLY < <(compgen -W "text geojson kml gpx" -- "$cur")
      return
      ;;
    --from)
      mapfile -t COMPREPLY < <(compgen -W "text geojson" -- "$cur")
      return
      ;;
    --order)
      mapfile -t COMPREPLY < <(compgen -W "lonlat latlon" -- "$cur")
      return
      ;;
  esac
  if [[ $cur == -* ]]; then
    mapfile -t COMPREPLY < <(compgen -W "--correction --input-file -i --output-file -o
      --input-string --comment-delimiter --csv --columns --append --header --dd --lenient --to
      --from --order --threads --help -h --version" -- "$cur")
  else
    mapfile -t COMPREPLY < <(compgen -W "dms dd encode decode compare" -- "$cur")
  fi
}
complete -F _miralto_cli miralto-cli
