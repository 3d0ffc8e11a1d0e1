# Bash completion for vantrelagent: its options, file names after the options that take a
# file, and the four modes. Self-contained, so it works without the bash-completion helpers.

_vantrelagent() {
    local cur=${COMP_WORDS[COMP_CWORD]} option value prefix=
    COMPREPLY=()
    # With '=' among the word breaks (bash's default) "--src=a" arrives as "--src" "=" "a"
    # and the reply replaces only "a"; without, it arrives whole and the reply must carry
    # the option itself.
    if [[ $cur == = ]]; then
        option=${COMP_WORDS[COMP_CWORD - 1]}= value=
    elif ((COMP_CWORD > 1)) && [[ ${COMP_WORDS[COMP_CWORD - 1]} == = ]]; then
        option=${COMP_WORDS[COMP_CWORD - 2]}= value=$cur
    elif [[ $cur == --*=* ]]; then
        option=${cur%%=*}= value=${cur#*=} prefix=${cur%%=*}=
    else
        local options="--accp= --as_dbo --dest= --help --logfile= --mode= --mssqlh= --mssqlu=
            --mssqlp= --profile= --silent --skip_idx --src= --sysdb= --tab_def --tab_file=
            --uglu= --uglp="
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
        # An option that takes a value goes on right after its '='.
        if [[ ${#COMPREPLY[@]} -eq 1 && ${COMPREPLY[0]} == *= ]]; then compopt -o nospace; fi
        return 0
    fi
    # The word as typed: a name begun with a quote, or spaces escaped by backslashes.
    value=${value#[\'\"]}
    value=${value//\\ / }
    case $option in
        --src=|--sysdb=|--profile=|--tab_file=|--logfile=)
            compopt -o filenames
            local IFS=$'\n'
            COMPREPLY=($(compgen -f -- "$value"))
            ;;
        --mode=)
            COMPREPLY=($(compgen -W "0 1 2 3" -- "$value"))
            ;;
    esac
    if [[ -n $prefix && ${#COMPREPLY[@]} -gt 0 ]]; then COMPREPLY=("${COMPREPLY[@]/#/$prefix}"); fi
    return 0
}
complete -F _vantrelagent vantrelagent
