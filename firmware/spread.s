; The even spread of a dividing or a slant: N sizes (rows between shapings,
; or stitches at a step) that add up to T, each running sum S(i) within one
; of the straight line T i / N. The sizes are those of a short pattern, a
; convergent p/s of T/N (s sizes adding up to p), repeated M times, then
; the rest exactly (the pattern of its own ratio in lowest terms, as many
; times as the two share a divisor): the first convergent whose drift over
; the repeats, M |p N - s T| / N, is at most one. Each part rounds its own
; line down when the pattern runs ahead of T/N and up when it lags, so the
; sums keep between the line and the drift. The pattern prints once under
; its count ("12x") when it repeats and holds two sizes; otherwise the
; sizes make plain lines. A pattern is itself the one of the convergent
; before, u, A times (A the last quotient) and the one before that, v, in
; the order u^A v for a word rounded up after an odd number of quotients or
; down after an even number, else v u^A (rounding up reverses the word);
; with u of two sizes and v not empty, u is a group one column further in
; when A >= 2 and in line when A = 1, and u and v are worked the same way,
; down to lines three columns in.

        .include "defs.inc"
        .include "macros.inc"

        .globl  spread

        ; cur, prev = c cur + prev, cur with c in T2: the next convergent's
        ; numerator or denominator
        .macro  next_term cur, prev
        lacc    \cur
        lopr    T2
        jsr     mul32
        lopr    \prev
        jsr     add32
        mov32   \prev, \cur
        sacc    \cur
        .endm

        ; 16-bit moves between memory and X's entry
        .macro  ld16x dst, off
        ldaa    \off,x
        staa    \dst
        ldaa    \off+1,x
        staa    \dst+1
        .endm
        .macro  st16x off, src
        ldaa    \src
        staa    \off,x
        ldaa    \src+1
        staa    \off+1,x
        .endm

        .sect .text.slant,"ax"

; In: SP_T, SP_N (1 <= N <= T < 10000), SP_GAP set when the sizes are the
; rows between shapings of one (else the amounts at each step), SH_MUL the
; rows (or places) a size counts, SH_KIND the sign. The rest is the exact
; word of its own sum and count: its last convergent g times, g the two's
; greatest common divisor.
spread: clr     SP_GRP
        ldx     #0
        stx     SP_RC
        clr     SP_EXACT
        bsr     convergent
        bsr     part
        lacc    SP_M                    ; the rest: T - M p over N - M s
        lopr    SP_P
        jsr     mul32
        jsr     accopr
        lacc    SP_T
        jsr     sub32
        sacc    SP_T
        lacc    SP_M
        lopr    SP_S
        jsr     mul32
        jsr     accopr
        lacc    SP_N
        jsr     sub32
        sacc    SP_N
        tst32   ACC
        beq     1f
        inc     SP_EXACT
        bsr     convergent
        bsr     part
1:      jmp     flush

; The pattern p/s M times: under its count when M >= 2 and it holds two
; sizes, else as lines (with its inner groups when M is 1).
part:   lacc    SP_M
        ldab    #2
        jsr     opr_b
        jsr     sub32
        bcs     2f
        lacc    SP_S
        jsr     sub32
        bcs     3f
        jsr     flush
        lacc    SP_M
        ldaa    #K_REP
        jsr     res_add
        ldaa    #K_IN
        staa    SP_GRP
        jsr     words
        jsr     flush
        clr     SP_GRP
        rts
2:      jmp     words                   ; once
3:      ldx     SP_M+2                  ; a single size M times
4:      stx     SP_MC
        jsr     whole
        ldx     SP_MC
        dex
        bne     4b
        rts

; The convergents p/s of SP_T / SP_N up to the first whose M repeats drift
; at most one (SP_EXACT: up to the last, T/N itself in lowest terms), with
; M, and the rounding SP_UP (kept when exact).
convergent:
        mov32   SP_A, SP_T              ; Euclid on T / N
        mov32   SP_B, SP_N
        clr32   SP_P0
        ldi32   SP_S0, 1
        ldi32   SP_P, 1
        clr32   SP_S
        ldx     #0                      ; the table from the seeds 0/1, 1/0
        stx     SP_CV
        stx     SP_CV+CV_S+2
        inx
        stx     SP_CV+2
        stx     SP_CV+CV_S
        ldaa    #1
        staa    SP_K
1:      lacc    SP_A
        lopr    SP_B
        jsr     div32
        sacc    T2
        inc     SP_K
        jsr     cv_entry
        st16x   CV_A, ACC+2
        mov32   SP_A, SP_B
        mov32   SP_B, REM
        next_term SP_P, SP_P0
        next_term SP_S, SP_S0
        jsr     cv_entry
        st16x   0, SP_P+2
        st16x   CV_S, SP_S+2
        lacc    SP_N                    ; M = N div s, one less when the
        lopr    SP_S                    ; repeats would take every size
        jsr     div32                   ; but not the whole sum
        sacc    SP_M
        tst     SP_EXACT
        beq     4f
        tst32   SP_B
        bne     1b
        rts
4:      tst32   REM
        bne     2f
        lopr    SP_P
        jsr     mul32
        lopr    SP_T
        jsr     sub32
        tst32   ACC
        beq     2f
        lacc    SP_M
        jsr     acc_dec
        sacc    SP_M
2:      lacc    SP_P                    ; |p N - s T|, up when p N < s T
        lopr    SP_N
        jsr     mul32
        sacc    T1
        lacc    SP_S
        lopr    SP_T
        jsr     mul32
        jsr     accopr
        lacc    T1
        jsr     absdiff
        ldaa    #0
        rola
        staa    SP_UP
        lopr    SP_M                    ; M |p N - s T| <= N
        jsr     mul32
        jsr     accopr
        lacc    SP_N
        jsr     sub32
        bcc     3f
        jmp     1b
3:      rts

; The run gathered so far as one line, if any.
flush:  ldx     SP_RC
        beq     1f
        stx     T2+2
        clr     T2
        clr     T2+1
        lacc16  SP_RV
        tst     SP_GAP
        beq     2f
        ldab    SH_MUL                  ; a shaping of one every size rows
        jsr     opr_b
        jsr     mul32
        sacc    T1
        ldi32   ACC, 1
        bra     3f
2:      clr32   T1                      ; size at every step
        ldaa    SH_MUL
        staa    T1+3
3:      ldaa    SH_KIND
        psha
        oraa    SP_GRP
        staa    SH_KIND
        jsr     sched_line
        pula
        staa    SH_KIND
        ldx     #0
        stx     SP_RC
1:      rts

; One size into the run: the same as the run's, one more time; else the
; run is a line and this size starts the next.
feed:   ldx     SP_RC
        beq     1f
        ldx     SP_TOK
        cpx     SP_RV
        beq     2f
        jsr     flush
1:      mov16   SP_RV, SP_TOK
2:      ldx     SP_RC
        inx
        stx     SP_RC
        rts

        .sect .text.spread,"ax"

        .equ    CV_S, 48                ; the table of convergents: p, s,
        .equ    CV_A, 96                ; then the quotient, 16-bit each

; X at convergent SP_K in the table.
cv_entry:
        ldaa    SP_K
        asla
        xindex  SP_CV
        rts

; The word of convergent SP_K at SP_GRP's depth: u^A v or v u^A, u and v
; the words of the two convergents before (A = 1 too), u a group one column
; further in when A >= 2. u and v are worked the same way in turn, from a
; list of words still to come, down to lines three columns in.
words:  ldaa    SP_GRP
        psha
        ldx     #SP_TASKS
        stx     SP_TSP
        oraa    SP_K
        bsr     push
1:      ldx     SP_TSP
        cpx     #SP_TASKS
        beq     9f
        dex
        stx     SP_TSP
        ldaa    0,x
        tab
        andb    #0x1F
        stab    SP_K
        tsta
        bmi     count
        anda    #3 * K_IN
        staa    SP_D
        cmpa    #3 * K_IN
        beq     plain
        bsr     cv_entry
        ldaa    CV_S-2,x                ; u of two sizes or more
        bne     3f
        ldaa    CV_S-1,x
        cmpa    #2
        bcs     plain
3:      ldaa    CV_S-4,x                ; v not empty
        bne     4f
        ldaa    CV_S-3,x
        beq     plain
4:
        ldab    SP_K                    ; u first when k odd and the
        andb    #1                      ; rounding differ
        eorb    SP_UP
        beq     2f
        bsr     push_v
        bsr     push_u
        bra     1b
2:      bsr     push_u
        bsr     push_v
        bra     1b
plain:  bsr     depth
        bsr     cv_entry
        ld16x   SP_GP, 0
        ld16x   SP_GN, CV_S
        jsr     pattern
        bra     1b
count:  anda    #3 * K_IN               ; u's repeats: "3x"
        staa    SP_D
        jsr     flush
        bsr     cv_entry
        ld16x   SP_TMP, CV_A
        lacc16  SP_TMP
        ldaa    SP_D
        oraa    #K_REP
        jsr     res_add
        bra     1b
9:      pula
        staa    SP_D
        ; fall through

; Lines at depth SP_D from here on: the run gathered at another depth is a
; line of its own.
depth:  ldaa    SP_D
        cmpa    SP_GRP
        beq     1f
        jsr     flush
        ldaa    SP_D
        staa    SP_GRP
1:      rts

; u onto the list: its repeats and u a column further in when A >= 2,
; else u in line.
push_u: bsr     cv_entry
        ldab    CV_A,x
        bne     1f
        ldab    CV_A+1,x
        cmpb    #2
1:      ldaa    SP_K
        deca
        oraa    SP_D
        bcs     push
        adda    #K_IN
        bsr     push
        ldaa    SP_K
        oraa    SP_D
        oraa    #0x80
        bra     push
push_v: ldaa    SP_K
        suba    #2
        oraa    SP_D
push:   ldx     SP_TSP
        staa    0,x
        inx
        stx     SP_TSP
        rts

        .sect .text.spread2,"ax"

; The sizes of the whole pattern (or of the rest): SP_P over SP_S.
whole:  mov16   SP_GP, SP_P+2
        mov16   SP_GN, SP_S+2
        ; fall through

; The sizes of SP_GP over SP_GN, each the step of its line rounded down (or
; up with SP_UP): q = p div s, one more whenever the remainders pass s.
pattern:
        lacc16  SP_GP
        lopr16  SP_GN
        jsr     div32
        sacc16  SP_Q
        mov16   SP_R, REM+2
        mov16   SP_GS, SP_GN
        ldx     #0
        tst     SP_UP
        beq     1f
        ldx     SP_GS
        dex
1:      stx     SP_REM
        ldx     SP_GS
2:      stx     SP_CNT
        add16   SP_REM, SP_REM, SP_R
        mov16   SP_TOK, SP_Q
        sub16   SP_TMP, SP_REM, SP_GS
        bcc     3f
        mov16   SP_REM, SP_TMP
        ldx     SP_TOK
        inx
        stx     SP_TOK
3:      jsr     feed
        ldx     SP_CNT
        dex
        bne     2b
        rts

