; Toggles PORTB. Code below and above word 0x100, the configuration word,
; user IDs and an even number of EEPROM records holding more than 256 bytes.
        list    p=16f877a
        #include <p16f877a.inc>
        radix   dec

        __CONFIG _HS_OSC & _WDT_OFF & _LVP_OFF & _PWRTE_ON
        __IDLOCS 0x1234

        org     0x0000
        goto    main

        org     0x0004
        retfie

        org     0x0100
main:   banksel TRISB
        clrf    TRISB
        banksel PORTB
        clrf    PORTB
loop:   comf    PORTB, F
        call    wait
        call    wait
        movlw   0x5A
        xorwf   PORTB, F
        goto    loop

        org     0x0180
wait:   decfsz  0x20, F
        goto    wait
        decfsz  0x21, F
        goto    wait
        return

        org     0x2100
        variable n = 0
        while n < 136
        de      n, 255 - n
n += 1
        endw
        end
